#include "devices/ControllerForm.h"

#include "devices/RangedField.h"

ControllerForm::ControllerForm(const MidiController& controller)
    : name(controller.Name()), number(AString::FromInt(controller.Number())),
      onOff(controller.OnOff()), low(AString::FromInt(controller.Low())),
      high(AString::FromInt(controller.High())),
      defaultValue(AString::FromInt(controller.DefaultValue())) {}

std::optional<Message> ControllerForm::ApplyTo(MidiController& controller) const {
    long n = 0, lo = 0, hi = 127, initial = 0;
    if (auto refusal = ReadRangedField(number, 0, kHighestNumber, n))
        return refusal;
    if (!onOff) {
        for (auto [text, value] : {std::pair{&low, &lo}, {&high, &hi}, {&defaultValue, &initial}})
            if (auto refusal = ReadRangedField(*text, 0, MidiController::kHighest, *value))
                return refusal;
    } else {
        // A hidden default that no longer fits the switch's range is not kept.
        long kept = 0;
        if (!ReadRangedField(defaultValue, 0, 127, kept))
            initial = kept;
    }
    return controller.ApplyEdit(name, static_cast<std::int16_t>(n), onOff,
                                static_cast<std::int16_t>(lo), static_cast<std::int16_t>(hi),
                                static_cast<std::int16_t>(initial));
}
