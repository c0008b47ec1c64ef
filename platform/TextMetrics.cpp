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
#include "render/BuiltInFaces.h"

namespace karvello {

namespace {} // namespace

TextMeasure::Style QtTextStyle(const QFont& font) {
    TextMeasure::Style style;
    const QFontMetricsF metrics(font);
    for (int byte = 0; byte < 256; ++byte) {
        const QChar character(Windows1252ToUtf16(static_cast<unsigned char>(byte)));
        style.ByteAdvance[static_cast<std::size_t>(byte)] = metrics.horizontalAdvance(character);
    }
    style.Ascent = metrics.ascent();
    style.Descent = metrics.descent();
    style.CharacterAdvance = [font](char32_t code) {
        // Qt's text layout takes U+FFFC for an embedded object and measures
        // it -1; alone it measures as its glyph.
        if (code == 0xFFFC) {
            return QFontMetricsF(font).horizontalAdvance(QChar(0xFFFC));
        }
        return QFontMetricsF(font).horizontalAdvance(QString::fromUcs4(&code, 1));
    };
    return style;
}

namespace {

// How a font measures: from the built-in tables where they have its family,
// else according to Qt.
TextMeasure::Style StyleOf(const QFont& font) {
    const QString family = font.families().isEmpty() ? font.family() : font.families().first();
    const FontFaceTable* face = FindBuiltInFace(family.toStdString(), font.bold(), font.italic());
    if (face != nullptr && font.pixelSize() > 0) {
        return BuiltInStyle(*face, font.pixelSize());
    }
    return QtTextStyle(font);
}

QFont WithItalic(QFont font, bool italic) {
    font.setItalic(italic);
    return font;
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

TextMetrics::TextMetrics(const QFont& font)
    : TextMeasure(StyleOf(WithItalic(font, false)), StyleOf(WithItalic(font, true))),
      uprightFont_(WithItalic(font, false)), italicFont_(WithItalic(font, true)) {}

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
