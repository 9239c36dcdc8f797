#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace platform {

// The process's notification centre: observers of a name are called, on the posting thread and
// in the order they were added, with the object posted.
class NotificationCenter {
public:
    using Observer = std::function<void(const std::any& object)>;
    using Token = std::uint64_t;

    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    Token addObserver(std::string name, Observer observer);
    void removeObserver(Token token);
    // Observers may add or remove observers while they are called; the ones called are those
    // present when the post began.
    void post(const std::string& name, const std::any& object = {});

private:
    struct Entry {
        std::string name;
        Observer observer;
    };
    std::mutex mutex_;
    Token next_ = 1;
    std::map<Token, Entry> observers_;
};

} // namespace platform
