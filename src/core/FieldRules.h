#pragma once

#include "orders/Settings.h"
#include "protocol/ProductItem.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace quillon {

// How the dialogs read their fields, kept apart from the widgets. A field
// takes a number only when its whole text is one (orders/NumberText.h).

// The prompts for a field that does not read or lies outside its range.
inline constexpr char kEnterIntegerText[] = "Please enter an integer.";
inline constexpr char kEnterNumberText[] = "Please enter a number.";
QString integerRangePrompt(int64_t low, int64_t high);
QString numberRangePrompt(double low, double high);

// A number as an edit field shows it: the shortest text that reads back as
// the same float.
QString editableNumber(float value);
// None when the text is not a whole number.
std::optional<float> parseNumberField(const QString& text);

inline constexpr int32_t kLargestProductCode = 999999;
inline constexpr float kLargestProductPrice = 1000000.0f;
inline constexpr int kProductDescriptionLimit = 1024;

enum class ProductField { Code, Price, Description };

// The product dialogs' fields on OK: the item, or the first field refused
// and the prompt to show.
struct ProductFieldsCheck {
    std::optional<ProductItem> item;
    ProductField field = ProductField::Code;
    QString prompt;
};
ProductFieldsCheck checkProductFields(const QString& code, const QString& price,
                                      const QString& description);

// A new password and its repetition must be the same text.
bool passwordsMatch(const QString& password, const QString& repeated);

// A field refused on OK: which one, the message that names it, and the part
// of its text to select (a length of -1 selects all of it).
struct FieldRefusal {
    std::size_t field = 0;
    QString message;
    qsizetype position = 0;
    qsizetype length = -1;
};

// "Label: text", the label as the dialog shows it, without "* " or ":".
QString fieldMessage(QString label, const QString& text);

// A field whose text is stored or sent as 8-bit text, as OK reads it. The
// message about a masked field does not tell which character it holds.
struct TypedField {
    QString label;
    QString text;
    bool masked = false;
};
// The first field holding a character the 8-bit texts cannot keep.
std::optional<FieldRefusal> foreignTextField(const std::vector<TypedField>& fields);

// The Configuration dialog's numbering fields, in the order they are checked.
enum class NumberingField { StartsFrom, Digits, Prefix, Postfix };
// Refuses numbering that cannot work: a first number above a wrap-around
// number (every order would get the same number), digits beyond what the
// numbering prints, or a prefix or postfix that a folder cannot be named
// with (control characters and / \ : * ? " < > |, which Windows shares
// refuse too). The refusal's field is a NumberingField.
std::optional<FieldRefusal> numberingRefusal(const ConfigurationValues& values);

} // namespace quillon
