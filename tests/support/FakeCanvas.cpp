#include "tests/support/FakeCanvas.h"

#include <memory>
#include <utility>

namespace karvello::test {
namespace {

class FakeCanvas : public FileCanvas {
  public:
    FakeCanvas(FakeCanvases& record, std::string path) : record_(record), path_(std::move(path)) {}
    Surface& surface() override { return record_.surface; }
    void Commit() override { record_.commits.push_back(path_); }

  private:
    FakeCanvases& record_;
    std::string path_;
};

} // namespace

FileCanvasFactory FakeCanvases::Factory() {
    return [this](const std::string& path, const TFigureSettings& figure) {
        paths.push_back(path);
        figures.push_back(figure);
        return std::make_unique<FakeCanvas>(*this, path);
    };
}

} // namespace karvello::test
