#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QIODevice;

// Sound in and out. Qt Multimedia and the sound server's client libraries
// live in the "brindleworks-media" module, opened the first time a sound is
// recorded or played. The classes here are plain interfaces, so the module
// shares no state with the program.
namespace MediaModule {

// A capture of 16-bit mono samples from the default input. Every start is
// a fresh connection to the sound server, so an input that failed once (the
// server was down) works again once the server is back.
class Input {
public:
    virtual ~Input() = default;
    // Starts capturing at `sampleRate`, the device delivering about
    // `bufferBytes` per read; null when no input could be opened.
    virtual QIODevice* start(int sampleRate, int bufferBytes) = 0;
    // The input stopped with an error (or never started).
    virtual bool hasFailed() const = 0;
    virtual bool isRunning() const = 0;
    virtual void stop() = 0;
    // Called from the event loop when the input stops with an error.
    std::function<void()> onFailed;
};

// Plays one file to the default output.
class Player {
public:
    virtual ~Player() = default;
    virtual void play(const QUrl& source) = 0;
    virtual void stop() = 0;
    // Milliseconds; the duration is 0 until known.
    virtual qint64 position() const = 0;
    virtual qint64 duration() const = 0;
    // The end of the file was reached.
    std::function<void()> onFinished;
    // Playing failed; the text says why.
    std::function<void(const QString&)> onError;
};

// A short sound, loaded once and played on request.
class Effect {
public:
    virtual ~Effect() = default;
    // Plays the sound (as soon as it has loaded); nothing when it cannot be
    // loaded.
    virtual void play() = 0;
};

class Services {
public:
    virtual ~Services() = default;
    virtual std::unique_ptr<Input> makeInput() = 0;
    virtual std::unique_ptr<Player> makePlayer() = 0;
    virtual std::unique_ptr<Effect> makeEffect(const QUrl& source) = 0;
    virtual bool hasOutput() = 0;
};

// The module's services, opening it on first use; null, with `error`
// saying why, when it cannot be opened.
Services* services(QString* error = nullptr);

} // namespace MediaModule

// The module's entry point.
extern "C" {
using BwMediaServicesFn = MediaModule::Services* (*)();
}
