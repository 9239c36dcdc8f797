#include "Commands.h"
#include "Companion.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <timeline/DocumentLoading.h>
#include <timeline/PainterRenderer.h>
#include <timeline/SvgWriter.h>
#include <timeline/TimelineDrawing.h>

namespace velotrack::cli {

namespace {

constexpr int unreadableInput = 1;
constexpr int documentRefused = 2;

struct PictureOptions {
    std::string path;
    std::string output;
    double width = 1600;
};

[[noreturn]] void fail(int exitCode, const std::string& message) {
    std::cerr << message << '\n';
    throw CLI::RuntimeError(exitCode);
}

std::string lowercaseExtension(const std::filesystem::path& path) {
    auto extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

timeline::LoadedDocument load(const std::string& path) {
    if (path != "-") {
        return timeline::loadDocumentFile(path);
    }
    const std::string text{std::istreambuf_iterator<char>(std::cin),
                           std::istreambuf_iterator<char>()};
    if (std::cin.bad()) {
        fail(unreadableInput, "-: cannot read standard input");
    }
    auto loaded = timeline::loadDocumentText(text);
    if (loaded.failure == timeline::LoadedDocument::Failure::refused &&
        !loaded.message.starts_with("-: ")) {
        loaded.message.insert(0, "-: ");
    }
    return loaded;
}

// Text needs fonts, and fonts need a Qt application; the offscreen platform needs no display.
void writePNG(const timeline::TimelineDrawing& drawing, const std::string& output) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    std::unique_ptr<QGuiApplication> application;
    if (!QGuiApplication::instance()) {
        static int argc = 1;
        static char name[] = "velotrack";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    if (!timeline::renderImage(drawing).save(QString::fromStdString(output), "PNG")) {
        fail(unreadableInput, output + ": cannot write the PNG file");
    }
}

void picture(const PictureOptions& options) {
    const auto extension = lowercaseExtension(options.output);
    if (extension != ".svg" && extension != ".png") {
        fail(unreadableInput, options.output + ": the picture is written as .svg or .png");
    }
    const auto loaded = load(options.path);
    if (!loaded.description) {
        fail(loaded.failure == timeline::LoadedDocument::Failure::refused ? documentRefused
                                                                          : unreadableInput,
             loaded.message);
    }
    const auto drawing = timeline::drawTimeline(*loaded.description, options.width);
    if (extension == ".png") {
        writePNG(drawing, options.output);
        return;
    }
    std::ofstream out(options.output, std::ios::binary);
    out << timeline::svgText(drawing);
    if (!out.flush()) {
        fail(unreadableInput, options.output + ": cannot write the SVG file");
    }
}

} // namespace

void addPictureCommand(CLI::App& app) {
    auto options = std::make_shared<PictureOptions>();
    auto* command = app.add_subcommand("picture", std::string(pictureSummary));
    command->add_option("path", options->path, "The document, or - for standard input")->required();
    command->add_option("-o,--output", options->output, "The picture: <name>.svg or <name>.png")
        ->required();
    command->add_option("--width", options->width, "Width in pixels")
        ->check(CLI::Range(200.0, 100000.0))
        ->default_str("1600");
    command->callback([options] { picture(*options); });
}

} // namespace velotrack::cli
