#include "protocol/Credentials.h"

#include <gtest/gtest.h>

using namespace quillon;

TEST(Credentials, MatchesTheWindowsProviderVectorsOnTheFirstEightCharacters) {
    for (auto [text, cipher] : {std::pair{"secret", "DFED64DCAC71A474842F63803CDC76BF"},
                                {"O1000042", "CE86A97AD0FF68D631755721A4D86119"},
                                {"", "A81BF1839AD4FBDE4E800C529B52497E"}})
        EXPECT_EQ(encryptCredential(text), cipher) << text;
    EXPECT_EQ(encryptCredential("        "), encryptCredential(""));
    EXPECT_EQ(encryptCredential("password1"), encryptCredential("password2"));
    EXPECT_NE(encryptCredential("passwor1"), encryptCredential("passwor2"));
}

TEST(Credentials, TicketGivesBothNumbersOfAShopIdOnly) {
    auto t = decryptTicket("CE86A97AD0FF68D631755721A4D86119");
    ASSERT_TRUE(t);
    EXPECT_EQ(std::tuple(t->first, t->shopNumber), std::tuple(1, 42));
    auto round = decryptTicket(encryptCredential("O7123456"));
    ASSERT_TRUE(round);
    EXPECT_EQ(std::tuple(round->first, round->shopNumber), std::tuple(7, 123456));

    EXPECT_FALSE(decryptTicket(encryptCredential("secret")));        // no "O"
    EXPECT_FALSE(decryptTicket(encryptCredential("OX000042")));      // not digits
    EXPECT_FALSE(decryptTicket("ce86a97ad0ff68d631755721a4d86119")); // lowercase
    EXPECT_FALSE(decryptTicket("CE86A97AD0FF68D631755721A4D8611G")); // not hex
    EXPECT_FALSE(decryptTicket("CE86A97AD0FF68D631755721A4D861"));   // short
    EXPECT_FALSE(decryptTicket("CE86A97AD0FF68D631755721A4D86119AA"));
    // A wrong last block fails the padding check instead of yielding garbage.
    EXPECT_FALSE(decryptTicket("CE86A97AD0FF68D60000000000000000"));
}
