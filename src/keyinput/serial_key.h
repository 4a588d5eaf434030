#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <thread>

#include "keyinput/key_input.h"
#include "keyinput/modem_lines.h"

// A key on a serial port's modem lines (USB-serial key cables): CTS is the dit paddle or the
// straight key, DSR the dah paddle; DTR and RTS are raised as their supply. A thread waits for
// a change of the lines and stamps it the moment the wait returns. When the port goes, the
// contacts open and the status says so; the window keeps working.
class SerialKey : public KeyInput {
public:
    SerialKey(ContactSink& sink, std::unique_ptr<ModemLines> lines, InputStatus status);
    ~SerialKey() override;

    // Opens `path` and starts watching; false with a German message (and its fix) if not.
    bool start(const QString& path, QString* error);
    void stop();
    bool running() const { return thread_.joinable(); }

    // A German message for an errno value from opening `path`.
    static QString OpenErrorMessage(const QString& path, int error);

private:
    void run();
    // Reads the lines and delivers them; false when the port has gone.
    bool readLines(int64_t atUs);

    std::unique_ptr<ModemLines> lines_;
    InputStatus status_;
    QString path_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};
