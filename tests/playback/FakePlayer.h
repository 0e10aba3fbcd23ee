#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "playback/MidiPlayer.h"
#include "util/Messages.h"

// A player that plays nothing and writes down every call, one line each, so that tests
// can compare the exact conversation with it.
class FakePlayer : public MidiPlayer {
public:
    std::vector<std::string> calls;
    int queued = 0; // what NumMessagesInCurrentBuffer answers; Add calls raise it
    bool busy = false;
    bool startSucceeds = true;
    bool blockSucceeds = true;
    std::int32_t tickTime = 0;

    void Log(const std::string& line) { calls.push_back(line); }
    template <class... T> static std::string Join(const char* name, T... values) {
        std::ostringstream out;
        out << name;
        ((out << ' ' << values), ...);
        return out.str();
    }
    // The calls from `from` on that open groups or add messages, in order.
    std::vector<std::string> Stream(std::size_t from = 0) const {
        std::vector<std::string> out;
        for (std::size_t i = from; i < calls.size(); ++i)
            if (calls[i].rfind("group", 0) == 0 || calls[i].rfind("add", 0) == 0 ||
                calls[i] == "block" || calls[i] == "done")
                out.push_back(calls[i]);
        return out;
    }
    int Count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls)
            n += c == call;
        return n;
    }
    void SetStatus(const char* text) { SetStatusText(text); }
    void SetError(const char* text) { AddErrorText(text); }

    void WarmUpMidiDriver() override { Log("warm"); }
    void SetDrawResolution(std::int32_t ms) override { Log(Join("drawres", ms)); }
    void SetAddCallbackMsg(PostTarget*, unsigned) override {}
    void SetStopMusicCallbackMsg(PostTarget*, unsigned) override {}
    void SetErrorCallbackMsg(PostTarget*, unsigned) override {}
    void SetDrawCallbackMsg(PostTarget*, unsigned) override {}
    void SetDoesChannelSpecificInstrument(std::uint8_t f) override {
        Log(Join("channelspecific", int(f)));
    }
    void SetProgramChangeEffectTime(unsigned ms) override { Log(Join("pcdelay", ms)); }
    void AddMessageGroup(std::int32_t delta, std::int32_t tick, std::uint8_t first) override {
        Log(Join("group", delta, tick, int(first)));
    }
    void AddTempoChange(std::int32_t tempo) override {
        ++queued;
        Log(Join("addtempo", tempo));
    }
    void AddNote(std::uint8_t ch, std::uint8_t key, std::int32_t dur, std::uint8_t vel, int bank,
                 std::uint8_t program, std::uint8_t rel) override {
        ++queued;
        Log(Join("addnote", int(ch), int(key), dur, int(vel), bank, int(program), int(rel)));
    }
    void AddControlChange(std::uint8_t ch, unsigned ctl, unsigned value,
                          std::uint8_t sevenBit) override {
        ++queued;
        Log(Join("addcc", int(ch), ctl, value, int(sevenBit)));
    }
    void AddPitchBend(std::uint8_t ch, unsigned value) override {
        ++queued;
        Log(Join("addbend", int(ch), value));
    }
    void AddPlaySound(const AString& file) override {
        ++queued;
        Log(Join("addsound", file.str()));
    }
    void AddBenignMessage() override { Log("addbenign"); }
    bool AddDoneWithBlock() override {
        Log("block");
        return blockSucceeds;
    }
    void DoneWithMessageAdd() override { Log("done"); }
    int NumMessagesInCurrentBuffer() override { return queued; }
    bool StartMusic() override {
        Log("start");
        busy = startSucceeds;
        return startSucceeds;
    }
    void SetToStopMusic() override { Log("settostop"); }
    void StopMusic() override {
        Log("stopmusic");
        busy = false;
    }
    bool MMSystemInUse() override { return busy; }
    std::int32_t GetTickTime() override { return tickTime; }
    int NumDrawPostMessagesSentOut() override { return 0; }
    bool AddAudioWAVFile(const AString& file, const AString& base) override {
        Log(Join("wav", file.str(), base.str()));
        return true;
    }
    void DeleteAudioWAVFile(const AString& file) override { Log(Join("delwav", file.str())); }
    void DeleteAudioWAVFiles() override { Log("delwavs"); }
    bool SendLiveMidi(const std::uint8_t* bytes, int size) override {
        std::string line = "live";
        for (int i = 0; i < size; ++i)
            line += " " + std::to_string(bytes[i]);
        Log(line);
        return true;
    }
    void SetCueFolder(const AString& folder) override { Log(Join("cuefolder", folder.str())); }
    void SetTicksPerQuarter(std::int32_t ticks) override {
        MidiPlayer::SetTicksPerQuarter(ticks);
        Log(Join("tpq", ticks));
    }
};

// Remembers the messages the user would have seen.
class RecordingSink : public MessageSink {
public:
    RecordingSink() { previous_ = SetMessageSink(this); }
    ~RecordingSink() override { SetMessageSink(previous_); }
    MessageAnswer Show(const Message& message) override {
        shown.push_back(message);
        return MessageAnswer::Ok;
    }
    std::vector<Message> shown;

private:
    MessageSink* previous_;
};
