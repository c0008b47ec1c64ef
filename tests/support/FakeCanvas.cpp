#include "tests/support/FakeCanvas.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace karvello::test {
namespace {

class FakeCanvas : public FileCanvas {
  public:
    FakeCanvas(FakeCanvases& record, std::string path) : record_(record), path_(std::move(path)) {}
    Surface& surface() override { return record_.surface; }
    void Commit() override {
        for (int step = 1; step <= record_.commitSteps; ++step) {
            ReportProgress(progress_, static_cast<std::uint64_t>(step),
                           static_cast<std::uint64_t>(record_.commitSteps));
        }
        record_.commits.push_back(path_);
    }
    bool ReportCommitProgress(ProgressFn progress) override {
        progress_ = std::move(progress);
        return record_.commitSteps > 0;
    }

  private:
    FakeCanvases& record_;
    std::string path_;
    ProgressFn progress_;
};

} // namespace

FileCanvasFactory FakeCanvases::Factory() {
    return [this](const std::string& path, const FigureSettings& figure) {
        paths.push_back(path);
        figures.push_back(figure);
        return std::make_unique<FakeCanvas>(*this, path);
    };
}

} // namespace karvello::test
