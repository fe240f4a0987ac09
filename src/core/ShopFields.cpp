#include "core/ShopFields.h"

#include "core/FieldRules.h"

#include <QBuffer>
#include <bit>

namespace quillon {

QStringList currencyChoices() {
    static const char* const kCurrencies[][2] = {
        {"Australian Dollar", "AUD"}, {"Canadian Dollar", "CAD"},  {"Swiss Franc", "CHF"},
        {"Czech Koruna", "CZK"},      {"Danish Krone", "DKK"},     {"Euro", "EUR"},
        {"Pound Sterling", "GBP"},    {"Hong Kong Dollar", "HKD"}, {"Hungarian Forint", "HUF"},
        {"Japanese Yen", "JPY"},      {"Norwegian Krone", "NOK"},  {"New Zealand Dollar", "NZD"},
        {"Polish Zloty", "PLN"},      {"Swedish Krona", "SEK"},    {"Singapore Dollar", "SGD"},
        {"U.S. Dollar", "USD"}};
    QStringList choices;
    for (const auto& [name, code] : kCurrencies)
        choices << QString("%1  [%2]").arg(name, code);
    return choices;
}

QStringList shopStatusChoices() {
    return {"Sandbox", "Live"};
}

QStringList orderRestrictionChoices() {
    return {"None", "Only accept orders from same country", "Only accept orders from same region",
            "Only accept orders from same city"};
}

QStringList paymentTypeChoices() {
    return {"No advance payment required.", "Advance payment via PayPal.",
            "Advance payment via PayPal except trusted customers."};
}

bool payPalSetupEnabled(int paymentType) {
    return paymentType == 1 || paymentType == 2;
}

std::optional<MissingShopField> missingShopField(const ShopInfo& info) {
    static const std::pair<std::string ShopInfo::*, const char*> kRequired[] = {
        {&ShopInfo::email1, "Email 1 is required."},
        {&ShopInfo::phone1, "Phone Number 1 is required."},
        {&ShopInfo::primaryContact, "Primary Contact is required."},
        {&ShopInfo::url, "URL is required."}};
    for (const auto& [field, message] : kRequired)
        if ((info.*field).empty())
            return MissingShopField{field, message};
    return std::nullopt;
}

uint32_t salesTaxBits(float percent) {
    return std::bit_cast<uint32_t>(percent);
}

float salesTaxPercent(uint32_t bits) {
    return std::bit_cast<float>(bits);
}

std::optional<float> parseSalesTax(const QString& text) {
    const auto percent = parseNumberField(text);
    if (!percent || !(*percent >= 0.0f && *percent <= 100.0f))
        return std::nullopt;
    return percent;
}

QString salesTaxPrompt() {
    return fieldMessage("Applicable sales tax", numberRangePrompt(0, 100));
}

bool logoFits(const QImage& image) {
    return !image.isNull() && image.width() <= kLogoMaxWidth && image.height() <= kLogoMaxHeight;
}

ByteData encodeLogo(const QImage& image) {
    if (image.isNull())
        return {};
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return ByteData(std::string_view(jpeg.constData(), size_t(jpeg.size())));
}

QImage decodeLogo(const ByteData& bytes) {
    return QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), int(bytes.size()));
}

} // namespace quillon
