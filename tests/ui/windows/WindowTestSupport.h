#pragma once
// Dialogs that the test answers at once, a preview surface that records what
// the window paints, and a way to reach a window's controls by name.

#include <QRect>
#include <QString>
#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "drawing/SurfaceAdapters.h"
#include "tests/support/RecordingSurface.h"
#include "tests/ui/windows/QtPrinters.h"
#include "ui/Dialogs.h"
#include "ui/OptionsWindow.h"
#include "ui/PlatformServices.h"

namespace karvello::test {

// Each dialog takes the next queued answer; a dialog the test did not
// expect fails the test and is cancelled.
struct FakeDialogs {
    std::deque<std::optional<QString>> openAnswers;
    std::vector<QString> openStartFiles;
    std::deque<std::optional<QString>> saveAnswers;
    int saveCalls = 0;
    std::vector<std::int32_t> saveDpis; // the PNG resolution each save dialog offered
    std::deque<std::optional<RgbColour>> colourAnswers;
    std::vector<RgbColour> colourStarts;
    std::vector<QString> errors;
    // Answers the options window, which is filled and not yet shown.
    std::function<int(OptionsWindow&)> options = [](OptionsWindow&) {
        return OptionsWindow::kResultCancel;
    };
    int optionsCalls = 0;
    std::deque<std::optional<QString>> settingsAnswers;
    std::vector<bool> settingsSaves; // one entry a settings file dialog: whether to save
    std::deque<std::optional<QString>> textAnswers;
    std::vector<QString> textStarts;

    Dialogs Make() {
        Dialogs dialogs;
        dialogs.OpenFileName = [this](QWidget*, const QString& lastFile) {
            openStartFiles.push_back(lastFile);
            return Next(openAnswers, "open");
        };
        dialogs.SaveFileName = [this](QWidget*, std::int32_t pngDpi) {
            ++saveCalls;
            saveDpis.push_back(pngDpi);
            return Next(saveAnswers, "save");
        };
        dialogs.PickColour = [this](QWidget*, RgbColour start) {
            colourStarts.push_back(start);
            return Next(colourAnswers, "colour");
        };
        dialogs.ShowError = [this](QWidget*, const QString& text) { errors.push_back(text); };
        dialogs.ShowOptions = [this](OptionsWindow& window) {
            ++optionsCalls;
            return options(window);
        };
        dialogs.SettingsFileName = [this](QWidget*, bool save) {
            settingsSaves.push_back(save);
            return Next(settingsAnswers, "settings file");
        };
        dialogs.AskText = [this](QWidget*, const QString&, const QString&, const QString& start) {
            textStarts.push_back(start);
            return Next(textAnswers, "text");
        };
        return dialogs;
    }

  private:
    template <typename T>
    static std::optional<T> Next(std::deque<std::optional<T>>& answers, const char* which) {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected " << which << " dialog";
            return std::nullopt;
        }
        std::optional<T> answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Hands every call on to a recording surface that outlives the paint.
class ForwardingSurface : public PassThroughSurface<PreviewSurface> {
  public:
    explicit ForwardingSurface(RecordingSurface& target) : PassThroughSurface(target) {}
    MappingMode MapMode() const override { return Target().MapMode(); }
    void FillBackground(int widthPx, int heightPx) override {
        Target().FillBackground(widthPx, heightPx);
    }
    std::pair<int, int> WindowExtent() const override { return Target().WindowExtent(); }
};

// The control of the given kind and name. Throws when there is none, which
// fails the test that asked.
template <typename T> T* Child(const QWidget& window, const char* name) {
    T* control = window.findChild<T*>(QString::fromLatin1(name));
    if (control == nullptr) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return control;
}

// Checks that keyboard focus moves through the named controls in this order,
// skipping Qt's own inner widgets (such as a number box's line edit).
inline void ExpectFocusOrder(const QWidget& window, std::initializer_list<const char*> order) {
    std::vector<QString> expected;
    for (const char* name : order) {
        expected.push_back(QString::fromLatin1(name));
    }
    QWidget* const first = window.findChild<QWidget*>(expected.front());
    ASSERT_NE(first, nullptr);
    std::vector<QString> stops{expected.front()};
    for (QWidget* current = first->nextInFocusChain();
         current != first && stops.size() < expected.size();
         current = current->nextInFocusChain()) {
        if (current->focusPolicy() != Qt::NoFocus && !current->objectName().isEmpty() &&
            !current->objectName().startsWith(QStringLiteral("qt_"))) {
            stops.push_back(current->objectName());
        }
    }
    EXPECT_EQ(stops, expected);
}

inline std::string ExamplePath(const char* name) {
    return std::string(KARVELLO_EXAMPLES_DIR) + "/" + name;
}

} // namespace karvello::test
