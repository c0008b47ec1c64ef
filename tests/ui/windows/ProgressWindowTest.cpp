#include "ui/ProgressWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

namespace karvello {
namespace {

QProgressDialog* ShownProgressWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("ProgressWindow") && widget->isVisible()) {
            return qobject_cast<QProgressDialog*>(widget);
        }
    }
    return nullptr;
}

TEST(ProgressWindow, ShowsOnlyForLongWorkAndItsCancelStopsTheWork) {
    ProgressWindow quick(nullptr, QStringLiteral("Loading"));
    const ProgressFn quickFn = quick.Fn();
    quickFn(1, 2);
    QThread::msleep(50);
    quickFn(2, 2);
    EXPECT_EQ(ShownProgressWindow(), nullptr) << "work that ends at once shows no window";

    ProgressWindow slow(nullptr, QStringLiteral("Drawing maps.png..."));
    const ProgressFn slowFn = slow.Fn();
    QThread::msleep(ProgressWindow::kShowAfterMs + 50);
    slowFn(1, 4);
    QProgressDialog* shown = ShownProgressWindow();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->labelText(), QStringLiteral("Drawing maps.png..."));
    EXPECT_EQ(shown->value(), 250);
    EXPECT_TRUE(shown->isModal());

    QPushButton* cancel = shown->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    QThread::msleep(50);
    EXPECT_THROW(slowFn(2, 4), OperationCancelled);
}

} // namespace
} // namespace karvello
