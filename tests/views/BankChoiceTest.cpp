#include <gtest/gtest.h>

#include "views/BankChoice.h"

TEST(BankChoice, TakesBanksOfFourteenBitsAndNamesThem) {
    std::uint8_t program = 9;
    std::int32_t bank = -1;
    for (const char* typed : {"16384", "-1", ""}) {
        const std::optional<Message> refusal = BankChoice{typed, 5}.Read(program, bank);
        ASSERT_TRUE(refusal) << typed;
        EXPECT_EQ(refusal->text.str(), "Input not in range(0 to 16383)");
    }
    EXPECT_EQ(program, 9);
    EXPECT_EQ(bank, -1);
    ASSERT_FALSE((BankChoice{"16383", 0}.Read(program, bank)));
    EXPECT_EQ(program, 0);
    EXPECT_EQ(bank, 16383);
    EXPECT_EQ(BankChoice::Name(0, 133).str(), "Grand Piano (bank 133)");
    EXPECT_EQ(BankChoice::Name(0, -1).str(), "Grand Piano");
}
