#pragma once

#include "netlib/ByteData.h"
#include "protocol/ShopInfoMessages.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace quillon {

// The choices and rules of the shop setup, shop information and PayPal
// dialogs.

// Choice lists; the index is what travels.
QStringList currencyChoices(); // "Name  [ISO code]"
inline constexpr int kDefaultCurrency = 15;
QStringList shopStatusChoices();
QStringList orderRestrictionChoices();
QStringList paymentTypeChoices();
// "PayPal setup" is offered for the two kinds of advance payment.
bool payPalSetupEnabled(int paymentType);

// The first required field of the information dialog that is empty, with
// the message that names it; none when all are filled.
struct MissingShopField {
    std::string ShopInfo::*field;
    QString message;
};
std::optional<MissingShopField> missingShopField(const ShopInfo& info);

// The sales tax is a percent held as a 32-bit float; its bits travel
// unchanged in a UInt32.
uint32_t salesTaxBits(float percent);
float salesTaxPercent(uint32_t bits);
// The sales tax as typed: a number from 0 to 100; none for anything else,
// also for a number the float turns infinite ("1e39").
std::optional<float> parseSalesTax(const QString& text);
// What the shop is told when it does not read.
QString salesTaxPrompt();

// A shop logo must be an image within 150 x 50 pixels.
inline constexpr int kLogoMaxWidth = 150;
inline constexpr int kLogoMaxHeight = 50;
inline constexpr char kLogoTooLargeText[] = "Your shop logo must be within 150 x 50 pixels.";
bool logoFits(const QImage& image);
// The logo as it travels: JPEG of quality 90; empty for a null image.
ByteData encodeLogo(const QImage& image);
// A null image when the bytes are not one.
QImage decodeLogo(const ByteData& bytes);

} // namespace quillon
