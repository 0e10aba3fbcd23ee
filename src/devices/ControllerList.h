#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "devices/MidiController.h"
#include "util/Messages.h"
#include "util/PArray.h"

// The controller definitions of the home directory, sorted by controller number, as the
// "Controllers Definition" dialog lists them. Operations that say no return the message
// to show and change nothing.
class ControllerList {
public:
    static constexpr const char* kReadOnly = "This Controller is Read-Only.";

    // Reads every valid "*.CTR" of the home directory.
    void Load();
    const PArray<MidiController>& Controllers() const { return controllers_; }

    // Writes a new definition and takes it into the list; `index` is where it went.
    std::optional<Message> Add(std::unique_ptr<MidiController> controller, std::size_t& index);
    // Refused for a read-only definition.
    std::optional<Message> CheckChange(std::size_t index) const;
    // Writes the edited copy of an entry and takes it into the list in the entry's place;
    // `index` follows it to its place by number. A failed write leaves the entry as it was.
    std::optional<Message> Store(std::size_t& index, const MidiController& edited);
    std::optional<Message> Delete(std::size_t index);

private:
    // Where a controller goes by number: after those with the same or a lower number.
    std::size_t SortedPlace(const MidiController& controller) const;

    PArray<MidiController> controllers_;
};
