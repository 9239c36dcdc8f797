#include "platform/NotificationCenter.h"

#include <vector>

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(std::string name, Observer observer) {
    std::lock_guard lock(mutex_);
    const Token token = next_++;
    observers_.emplace(token, Entry{std::move(name), std::move(observer)});
    return token;
}

void NotificationCenter::removeObserver(Token token) {
    std::lock_guard lock(mutex_);
    observers_.erase(token);
}

void NotificationCenter::post(const std::string& name, const std::any& object) {
    std::vector<Observer> called;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [token, entry] : observers_) {
            if (entry.name == name) {
                called.push_back(entry.observer);
            }
        }
    }
    for (const auto& observer : called) {
        observer(object);
    }
}

} // namespace platform
