// What core and window tests share: a temporary folder with files made from
// bytes, a fixed clock, a sink that records messages, and CP932 helpers.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/message_sink.h"
#include "core/report.h"

namespace quarnel::testing {

// A fresh folder under the system's temporary folder, removed with its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }
    // Writes `bytes` to the file `name` in the folder and returns its path.
    std::string Write(const std::string& name, std::string_view bytes) const;
    [[nodiscard]] std::string File(const std::string& name) const;

private:
    std::filesystem::path m_path;
};

[[nodiscard]] std::string ReadFile(const std::string& path);

// Always the time it was given: Sun Mar 07 09:05:03 1999 unless told otherwise.
class FixedClock final : public Clock {
public:
    FixedClock();
    explicit FixedClock(const std::tm& time) : m_time(time) {}
    [[nodiscard]] std::tm LocalNow() const override { return m_time; }

private:
    std::tm m_time{};
};

class RecordingSink final : public MessageSink {
public:
    void ShowMessage(std::string_view cp932) override { messages.emplace_back(cp932); }
    std::vector<std::string> messages;
};

// The UTF-8 text `utf8` as CP932 bytes (for writing expected lines readably).
[[nodiscard]] std::string Sjis(std::string_view utf8);

// Every line of a report, in order.
[[nodiscard]] std::vector<std::string> Lines(const Report& report);

}  // namespace quarnel::testing
