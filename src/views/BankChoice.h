#pragma once

#include <cstdint>
#include <optional>

#include "util/AString.h"
#include "util/Messages.h"

// The bank selection of a view's placement instrument: an instrument and the bank it is
// taken from, a bank select value (MSB x 128 + LSB), as typed.
struct BankChoice {
    static constexpr long kHighestBank = 16383;

    AString bank;
    int program = 0;

    // OK: the chosen program and bank, or the refusal of a bank outside 0 to 16383.
    std::optional<Message> Read(std::uint8_t& chosenProgram, std::int32_t& chosenBank) const;

    // As the placement list's last entry shows it: "Grand Piano (bank 5)", or the
    // instrument alone without a bank.
    static AString Name(std::uint8_t program, std::int32_t bank);
};
