#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDir.h"
#include "util/INIFile.h"
#include "util/Messages.h"

// A scratch home directory installed as the settings' home, and the messages shown
// while a test runs.
class HomeFixture : public ::testing::Test, public MessageSink {
protected:
    void SetUp() override {
        previousIni_ = INIFile::Global();
        INIFile::SetGlobal(&ini);
        previousSink_ = SetMessageSink(this);
    }
    void TearDown() override {
        SetMessageSink(previousSink_);
        INIFile::SetGlobal(previousIni_);
    }
    MessageAnswer Show(const Message& message) override {
        shown.push_back(message);
        return MessageAnswer::Ok;
    }
    std::string Bytes(const std::string& name) const { return TempDir::Read(home / name); }

    TempDir home;
    INIFile ini{home.Path()};
    std::vector<Message> shown;

private:
    INIFile* previousIni_ = nullptr;
    MessageSink* previousSink_ = nullptr;
};

// Little-endian building blocks for hand-made definition files.
inline std::string U16(unsigned value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}
inline std::string U32(unsigned value) {
    return U16(value & 0xFFFF) + U16(value >> 16);
}
inline std::string Str(const std::string& text) {
    return U32(static_cast<unsigned>(text.size())) + text;
}
// A controller definition file: number and name, range 0 to 127, default 0.
inline std::string CtrFile(unsigned number, const std::string& name) {
    return "%" + U16(number) + '\0' + U16(0) + U16(127) + U16(0) + Str(name);
}
