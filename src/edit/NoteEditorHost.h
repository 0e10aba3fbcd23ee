#pragma once

#include <cstdint>

#include "devices/KeyOperation.h"
#include "model/MidiMsg.h"
#include "util/AString.h"
#include "util/Refusal.h"

struct PasteOptions;

// What note editing needs from the window that shows it. Every answer has a harmless
// default, so a window overrides only what it offers.
class NoteEditorHost {
public:
    virtual ~NoteEditorHost() = default;

    // The "Move Pitch to Key" and "Play Changed Note On Hesitation" options.
    virtual bool MovePitchToKey() const { return false; }
    virtual bool HesitatePlay() const { return false; }
    // Snap-to resolution as a fraction of a whole note; 0 when unset.
    virtual double SnapTo() const { return 0; }

    // Key commands 9 to 15: play, rewind, rewind to beginning, record, fast forward,
    // fast forward to end, stop.
    virtual void Transport(KeyOperation /*command*/) {}
    virtual void PlayRange(std::int32_t /*from*/, std::int32_t /*to*/) {}
    virtual void SetPlayBar(std::int32_t /*tick*/) {}
    // (Re)starts the hesitation timer after which the changed note sounds.
    virtual void SoundAfterHesitation(const MidiMsgNote& /*note*/, std::int32_t /*tick*/) {}
    virtual void Beep() {}

    // A refusal, shown in a message box titled "Vorlaune".
    virtual void ShowRefusal(const Refusal& /*refusal*/) {}
    // The "Paste Options" dialog; false on Cancel.
    virtual bool AskPasteOptions(PasteOptions& /*options*/) { return false; }
    virtual bool AskYesNo(const AString& /*text*/) { return false; }
    // Whether the file an audio cue names may be deleted with the cue: its full path, or
    // why not. `cue` is the record itself, so that it does not count as another cue
    // naming the file.
    struct AudioFileCheck {
        AString path;
        AString reason;
    };
    virtual AudioFileCheck CheckAudioFile(const AString& /*fileName*/, const MidiMsg& /*cue*/) {
        return {{}, "Files cannot be deleted from here."};
    }
    // Deletes the file a check allowed; false with the system's reason when it fails.
    virtual bool DeleteAudioFile(const AString& /*path*/, AString& /*error*/) { return false; }
};
