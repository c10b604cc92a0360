#include "platform/Text.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QUtf8StringView>
#include <algorithm>
#include <cctype>

namespace platform {

namespace {

QString Decode(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The "C" locale sorts by code point, which puts every capital before every small
// letter's neighbours; a user of that locale still expects dictionary order.
QLocale CollationLocale() {
    QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return system;
}

const QCollator& Collator() {
    static const QCollator collator = [] {
        QCollator made(CollationLocale());
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool SameAsciiText(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool ValidUtf8(std::string_view text) {
    return QUtf8StringView(text.data(), static_cast<qsizetype>(text.size())).isValidUtf8();
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
    if (SameText(a, b))
        return 0;
    QString left = Decode(a);
    QString right = Decode(b);
    if (int order = Sign(Collator().compare(left, right)))
        return order;
    // The collator ignores some differences (control characters, damaged bytes); break its
    // ties so that zero means the same text apart from letter case.
    if (int order = Sign(left.compare(right, Qt::CaseInsensitive)))
        return order;
    return Sign(a.compare(b));
}

// Equality with case folding; names that are not valid UTF-8 fold only their ASCII
// letters, so two different damaged names never count as the same.
bool SameText(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b))
        return SameAsciiText(a, b);
    if (!ValidUtf8(a) || !ValidUtf8(b))
        return SameAsciiText(a, b);
    // Names typed on one system and stored by another may differ in composition (é as
    // one character or as e and an accent); they are still the same name.
    auto composed = [](std::string_view text) {
        return Decode(text).normalized(QString::NormalizationForm_C);
    };
    return composed(a).compare(composed(b), Qt::CaseInsensitive) == 0;
}

std::string SameTextKey(std::string_view text) {
    if (IsAscii(text) || !ValidUtf8(text)) {
        std::string key(text);
        for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return key;
    }
    return Decode(text).normalized(QString::NormalizationForm_C).toCaseFolded().toStdString();
}

void SortTexts(std::vector<std::string>& texts) {
    struct Keyed {
        QCollatorSortKey key;
        std::string* text;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(texts.size());
    for (std::string& text : texts) keyed.push_back({Collator().sortKey(Decode(text)), &text});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        const int order = a.key.compare(b.key);
        return order != 0 ? order < 0 : CompareText(*a.text, *b.text) < 0;
    });
    std::vector<std::string> sorted;
    sorted.reserve(texts.size());
    for (Keyed& entry : keyed) sorted.push_back(std::move(*entry.text));
    texts = std::move(sorted);
}

std::string UpperCase(std::string_view text) {
    return Decode(text).toUpper().toStdString();
}

}  // namespace platform
