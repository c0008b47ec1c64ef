// Start-up to the first painted main window, one repaint of the preview
// showing a map of 1,000 markers, one repaint of the page preview of 50 maps
// at several zooms, and the options window filled for marker tables of
// several sizes. Run on Qt's offscreen platform unless
// QT_QPA_PLATFORM names another.

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

#include "drawing/DrawMaps.h"
#include "platform/PagePicture.h"
#include "ui/MainWindow.h"
#include "ui/OptionsWindow.h"
#include "ui/PagePreview.h"
#include "ui/ProgramStart.h"

namespace karvello {
namespace {

// Counts the paints of one widget.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* watched) : watched_(watched) {
        watched->installEventFilter(this);
    }
    int Count() const { return count_; }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (object == watched_ && event->type() == QEvent::Paint) {
            ++count_;
        }
        return false;
    }

  private:
    QWidget* watched_;
    int count_ = 0;
};

void BM_StartToFirstPaintedWindow(benchmark::State& state) {
    for (auto _ : state) {
        ProgramWindows windows = CreateWindows(Dialogs::System(), PlatformServices::Default());
        QWidget* preview = windows.Form2->findChild<QWidget*>(QStringLiteral("PreviewBox"));
        PaintCounter counter(preview);
        windows.Form2->show();
        while (counter.Count() == 0) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        state.PauseTiming();
        windows.Form2.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToFirstPaintedWindow)->Unit(benchmark::kMillisecond);

// A Mapmaker file pair with one map of n framework markers; every fifth
// distance is 0, so that markers share positions as in real maps.
void WriteMapPair(const std::string& input, const std::string& output, int n) {
    std::ofstream in(input, std::ios::binary);
    in << "data type f2 intercross\n46 " << n << " 0\n\n";
    for (int k = 1; k <= n; ++k) {
        in << "*M" << k << " ABHABHABH\n";
    }
    std::ofstream out(output, std::ios::binary);
    out << "Map:\n Markers          Distance\n";
    for (int k = 1; k <= n; ++k) {
        out << "  " << k << "  M" << k << "  ";
        if (k == n) {
            out << "----------\n";
        } else {
            out << (k % 5 == 0 ? "0.0" : "1.3") << " cM\n";
        }
    }
    out << "                 1000.0 cM   " << n << " markers   log-likelihood= -1.0\n\n";
    out << "Markers placed relative to above map:\n\n\n";
}

void BM_PreviewRepaint1000Markers(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string input = folder.filePath(QStringLiteral("big.raw")).toStdString();
    const std::string output = folder.filePath(QStringLiteral("big.out")).toStdString();
    WriteMapPair(input, output, 1000);

    // An error box would wait for a user; the error ends the benchmark instead.
    Dialogs dialogs = Dialogs::System();
    QString error;
    dialogs.ShowError = [&error](QWidget*, const QString& text) { error = text; };
    ProgramWindows windows = CreateWindows(dialogs, PlatformServices::Default());
    MainWindow& form = *windows.Form2;
    form.findChild<QLineEdit*>(QStringLiteral("EditInput"))->setText(QString::fromStdString(input));
    form.findChild<QLineEdit*>(QStringLiteral("EditOutput"))
        ->setText(QString::fromStdString(output));
    form.findChild<QAbstractButton*>(QStringLiteral("ButtonLoad"))->click();
    if (!error.isEmpty() || form.workspace().Maps().empty() ||
        form.workspace().Maps()[0].Markers.size() != 1000) {
        error.prepend(QStringLiteral("the generated map did not load with 1,000 markers: "));
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    form.show();
    form.findChild<QListWidget*>(QStringLiteral("ListMaps"))->setCurrentRow(0);
    QWidget* preview = form.findChild<QWidget*>(QStringLiteral("PreviewBox"));
    QCoreApplication::processEvents();
    if (form.workspace().SelectedMap() != 0) {
        state.SkipWithError("the generated map is not selected");
        return;
    }
    PaintCounter counter(preview);
    for (auto _ : state) {
        preview->repaint();
    }
    if (counter.Count() < state.iterations()) {
        state.SkipWithError("a repaint did not paint the preview");
    }
}
BENCHMARK(BM_PreviewRepaint1000Markers)->Unit(benchmark::kMillisecond);

// The figure of the platform benchmarks: 50 maps of 270 framework and 30
// placed markers on a metre-high page, made by the same generator.
struct Figure {
    MarkerTable markers;
    std::vector<LinkageMap> maps;
    PageLengths settings;
};

const Figure& BenchmarkFigure() {
    static const Figure figure = [] {
        Figure d;
        std::uint32_t state = 12345;
        const auto below = [&state](int n) {
            state = state * 1664525u + 1013904223u;
            return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(n));
        };
        d.settings.PageHeight = 100000;
        for (int m = 0; m < 50; ++m) {
            LinkageMap map;
            map.MapNumber = m + 1;
            for (int i = 0; i < 300; ++i) {
                Marker marker;
                marker.Name = (below(4) == 0 ? "D" : "M") + std::to_string(m + 1) + "M" +
                              std::to_string(100 + i);
                marker.Dominant = below(10) == 0;
                marker.Colour = below(8) == 0 ? 0x0000C0 : 0;
                marker.Mapped = true;
                const auto index = static_cast<std::int32_t>(d.markers.size());
                d.markers.push_back(marker);
                if (i < 270) {
                    MapEntry entry;
                    entry.MarkerIndex = index;
                    entry.Distance = below(8) == 0 ? 0.0 : 0.1 * (1 + below(60));
                    map.Markers.push_back(entry);
                } else {
                    map.Placed.push_back({index, below(271)});
                }
            }
            map.Markers.back().Distance = 0;
            for (std::size_t i = 0; i + 1 < map.Markers.size(); ++i) {
                if (map.Markers[i].Distance == 0) {
                    map.Markers[i].NextSamePos = static_cast<std::int32_t>(i + 1);
                    map.Markers[i + 1].SamePosAsPrev = true;
                }
            }
            d.maps.push_back(std::move(map));
        }
        return d;
    }();
    return figure;
}

// One repaint of a 1920 x 1080 page view of the figure at a zoom: 0 fits
// the page, 1 fits the width, otherwise the zoom in percent. The view stands
// in the middle of the page. Must stay under 16 ms at every zoom.
void BM_PagePreviewRepaint(benchmark::State& state) {
    const Figure& figure = BenchmarkFigure();
    PagePicture picture;
    picture.Record([&](Surface& surface) {
        (void)DrawMaps(figure.maps, surface, figure.settings, figure.markers);
    });
    PageView view(picture);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setFrameShape(QFrame::NoFrame);
    view.resize(1920, 1080);
    view.show();
    QCoreApplication::processEvents();
    const auto zoom = state.range(0);
    if (zoom == 0) {
        view.SetFit(PageView::Fit::Page);
    } else if (zoom == 1) {
        view.SetFit(PageView::Fit::Width);
    } else {
        view.SetZoom(static_cast<double>(zoom) / 100.0);
    }
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->maximum() / 2);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum() / 2);
    QCoreApplication::processEvents();
    PaintCounter counter(view.viewport());
    for (auto _ : state) {
        view.viewport()->repaint();
    }
    if (counter.Count() < state.iterations()) {
        state.SkipWithError("a repaint did not paint the view");
    }
    state.counters["zoom_percent"] = view.Zoom() * 100;
}
BENCHMARK(BM_PagePreviewRepaint)
    ->Arg(0)
    ->Arg(1)
    ->Arg(25)
    ->Arg(100)
    ->Arg(400)
    ->Arg(3200)
    ->Unit(benchmark::kMillisecond);

// Filling the options window for a marker table of the given size, as each
// press of "Options" does: both marker lists get an entry per marker.
void BM_OptionsFillControls(benchmark::State& state) {
    MarkerTable markers(static_cast<std::size_t>(state.range(0)));
    for (std::size_t k = 0; k < markers.size(); ++k) {
        markers[k].Name = "M" + std::to_string(k + 1);
    }
    OptionsWindow window(Dialogs::System());
    const ColourRangeList ranges{{0, 9, 0x0000FF}, {10, 19, 0x00FF00}};
    for (auto _ : state) {
        window.HandIn(PageLengths{}, 0, ranges, markers);
        window.FillControls();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OptionsFillControls)
    ->Arg(1000)
    ->Arg(20000)
    ->Arg(200000)
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace karvello

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QElapsedTimer applicationTimer;
    applicationTimer.start();
    QApplication application(argc, argv);
    const qint64 applicationMs = applicationTimer.elapsed();
    benchmark::Initialize(&argc, argv);
    benchmark::AddCustomContext("qapplication_ms", std::to_string(applicationMs));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
