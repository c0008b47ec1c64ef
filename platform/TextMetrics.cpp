#include "platform/TextMetrics.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QStringList>
#include <cmath>
#include <map>
#include <mutex>
#include <utility>

#include "base/Error.h"
#include "base/Text.h"
#include "platform/QtRuntime.h"
#include "platform/Windows1252.h"

namespace karvello {

namespace {

int RoundToInt(double value) {
    return static_cast<int>(std::lround(value));
}

} // namespace

QFont MeasuringFont(QFont base, int heightUnits) {
    base.setPixelSize(heightUnits < 1 ? 1 : heightUnits);
    base.setHintingPreference(QFont::PreferNoHinting);
    base.setKerning(false);
    // Without shaping every character keeps its own advance, as in GDI;
    // without merging a missing glyph does not pull in another font's widths.
    base.setStyleStrategy(QFont::StyleStrategy(QFont::PreferNoShaping | QFont::NoFontMerging));
    return base;
}

TextMetrics::Measured TextMetrics::Measure(QFont font) {
    Measured measured;
    const QFontMetricsF metrics(font);
    for (int byte = 0; byte < 256; ++byte) {
        const QChar character(Windows1252ToUtf16(static_cast<unsigned char>(byte)));
        measured.advance[static_cast<std::size_t>(byte)] = metrics.horizontalAdvance(character);
    }
    measured.ascent = metrics.ascent();
    measured.height = RoundToInt(metrics.ascent() + metrics.descent());
    measured.font = std::move(font);
    return measured;
}

TextMetrics::TextMetrics(const QFont& font) {
    QFont upright = font;
    upright.setItalic(false);
    QFont italic = font;
    italic.setItalic(true);
    upright_ = Measure(upright);
    italic_ = Measure(italic);
}

std::vector<double> TextMetrics::UnitAdvances(std::string_view text, bool italic,
                                              CharacterEncoding encoding) const {
    const Measured& variant = Variant(italic);
    std::vector<double> advances;
    advances.reserve(text.size());
    if (encoding == CharacterEncoding::Windows1252) {
        for (char c : text) {
            advances.push_back(variant.advance[static_cast<unsigned char>(c)]);
        }
        return advances;
    }
    const std::u16string units = TextToUtf16(text, encoding);
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit < 0x80) {
            advances.push_back(variant.advance[unit]);
            continue;
        }
        const bool pair = IsHighSurrogate(unit) && i + 1 < units.size();
        const char32_t code = pair ? FromSurrogates(unit, units[i + 1]) : char32_t{unit};
        double advance = 0;
        {
            const std::lock_guard<std::mutex> lock(wideLock_);
            const auto known = variant.wide.find(code);
            if (known != variant.wide.end()) {
                advance = known->second;
            } else {
                const QString character = QString::fromUcs4(&code, 1);
                advance = QFontMetricsF(variant.font).horizontalAdvance(character);
                variant.wide.emplace(code, advance);
            }
        }
        advances.push_back(advance);
        if (pair) {
            advances.push_back(0);
            ++i;
        }
    }
    return advances;
}

int TextMetrics::Width(std::string_view text, bool italic, CharacterEncoding encoding) const {
    double sum = 0;
    if (encoding == CharacterEncoding::Windows1252) {
        const Measured& variant = Variant(italic);
        for (char c : text) {
            sum += variant.advance[static_cast<unsigned char>(c)];
        }
    } else {
        for (double advance : UnitAdvances(text, italic, encoding)) {
            sum += advance;
        }
    }
    return RoundToInt(sum);
}

int TextMetrics::Height(bool italic) const {
    return Variant(italic).height;
}

double TextMetrics::Ascent(bool italic) const {
    return Variant(italic).ascent;
}

std::vector<std::int32_t> TextMetrics::Advances(std::string_view text, bool italic,
                                                CharacterEncoding encoding) const {
    const std::vector<double> exact = UnitAdvances(text, italic, encoding);
    std::vector<std::int32_t> advances;
    advances.reserve(exact.size());
    double sum = 0;
    int placed = 0;
    for (double advance : exact) {
        sum += advance;
        const int end = RoundToInt(sum);
        advances.push_back(end - placed);
        placed = end;
    }
    return advances;
}

QFont MetafileMeasuringFont() {
    for (const char* family : {kMetafileFaceName, "Liberation Sans", "Arial"}) {
        const QString name = QString::fromLatin1(family);
        if (QFontDatabase::hasFamily(name)) {
            QFont font;
            font.setFamilies(QStringList{name});
            font.setWeight(QFont::Normal);
            font.setStyle(QFont::StyleNormal);
            return MeasuringFont(font, kMetafileFontHeight);
        }
    }
    throw KarvelloError(
        "Text cannot be measured: none of the fonts \"Microsoft Sans Serif\", "
        "\"Liberation Sans\" or \"Arial\" is installed (on Debian: fonts-liberation2)");
}

const TextMetrics& MetafileTextMetrics() {
    // Kept for the life of the process: its fonts must not be destroyed
    // after Qt's own global objects at exit. A failed first attempt (no
    // font) is tried again on the next call.
    static const TextMetrics* const metrics = [] {
        EnsureQtGui();
        return new TextMetrics(MetafileMeasuringFont());
    }();
    return *metrics;
}

FigureFont FigureTextFont(const std::string& face, int height) {
    FigureFont font;
    font.face = face.empty() ? std::string(kMetafileFaceName) : face;
    font.height = height < 1 ? kMetafileFontHeight : height;
    const bool metafileFace = EqualsIgnoringCase(font.face, kMetafileFaceName);
    if (metafileFace && font.height == kMetafileFontHeight) {
        font.metrics = &MetafileTextMetrics();
        return font;
    }
    EnsureQtGui();
    // Kept for the life of the process, as MetafileTextMetrics keeps its own.
    static std::mutex mutex;
    // The table itself is never destroyed either, so that the metrics it
    // holds stay reachable to the end.
    static auto& built = *new std::map<std::pair<std::string, int>, const TextMetrics*>;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto key = std::make_pair(font.face, font.height);
    if (const auto found = built.find(key); found != built.end()) {
        font.metrics = found->second;
        return font;
    }
    QFont measured;
    const QString name = QString::fromStdString(font.face);
    if (QFontDatabase::hasFamily(name)) {
        measured.setFamilies(QStringList{name});
        measured.setWeight(QFont::Normal);
        measured.setStyle(QFont::StyleNormal);
    } else if (metafileFace || EqualsIgnoringCase(font.face, "Arial") ||
               EqualsIgnoringCase(font.face, "Helvetica")) {
        measured = MetafileMeasuringFont();
    } else {
        throw KarvelloError("The font \"" + font.face +
                            "\" is not installed, so text in it cannot be measured. Install it, "
                            "or choose an installed face such as \"Liberation Sans\"");
    }
    font.metrics = new TextMetrics(MeasuringFont(measured, font.height));
    built.emplace(key, font.metrics);
    return font;
}

} // namespace karvello
