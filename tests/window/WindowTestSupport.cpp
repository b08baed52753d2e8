#include "tests/window/WindowTestSupport.h"

#include "tests/support/TestSupport.h"

#include <QFileDialog>

namespace chipshift::test {

std::function<void(const std::string&)> convertHook;

void FakeDialogs::showMessage(QWidget*, const QString& title, const QString& text) {
    messages.push_back({title, text});
}

void FakeDialogs::showError(QWidget*, const QString& title, const QString& text) {
    errors.push_back({title, text});
}

std::optional<std::string> FakeDialogs::openFile(QFileDialog& od) {
    ++fileDialogOpenings;
    openedFilters = od.nameFilters();
    openedSelectedFilter = od.selectedNameFilter();
    if (fileAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::string FakeDialogs::selectFolder(QWidget*) {
    ++folderBrowserOpenings;
    if (folderAnswers.empty()) return {};
    std::string answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

namespace {

void fakeConvert(const Image&, Image&, Image&, const std::string&, const std::string& sourcePath,
                 const Template&) {
    if (convertHook) convertHook(sourcePath);
}

}  // namespace

Program fakeProgram(WindowVariant variant) {
    const bool mapforge = variant == WindowVariant::MapForge;
    return Program{
        .name = mapforge ? "mapforge" : "actorforge",
        .title = titleOf(variant).toStdString(),
        .sheetWidth = 8,
        .sheetHeight = 256,
        .convertSheet = &fakeConvert,
        .outputSuffixes = {},
        .reportsWrongSizeInBatch = !mapforge,
    };
}

QString titleOf(WindowVariant variant) {
    return variant == WindowVariant::MapForge ? QStringLiteral("Chipshift マップチップ")
                                              : QStringLiteral("Chipshift キャラチップ");
}

WindowFixture::WindowFixture(WindowVariant variant) : program(fakeProgram(variant)) {
    window = std::make_unique<TfrmMain>(program, variant, Template("/nonexistent/moto.bmp"), dialogs);
}

WindowFixture::~WindowFixture() { convertHook = nullptr; }

void writeSheet(const std::string& path, int width, int height) {
    writeBmp(makeImage(width, height, PixelFormat::Rgb24, Palette(),
                       [](int x, int y) { return distinctRgb(x, y, 1); }),
             path);
}

}  // namespace chipshift::test
