#include "e2e/screenshot.hpp"

#include "e2e/handles.hpp"
#include "e2e/process.hpp"
#include "pixels.hpp"

#include <windows.h>

#include <fstream>
#include <iostream>

namespace e2e {

bool SaveScreenshot(const std::filesystem::path& file) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT screen{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                      top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const detail::Pixels pixels = detail::CaptureScreen(screen);
    if (pixels.empty()) return false;

    const std::uint32_t stride = (static_cast<std::uint32_t>(pixels.width) * 3 + 3) & ~3u;
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(pixels.height);
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fileHeader.bfSize = fileHeader.bfOffBits + imageSize;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = pixels.width;
    info.biHeight = pixels.height;  // positive: bottom-up, what every viewer reads
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageSize;

    std::vector<char> image(imageSize, 0);
    for (int y = 0; y < pixels.height; ++y) {
        char* row = image.data() + static_cast<std::size_t>(pixels.height - 1 - y) * stride;
        for (int x = 0; x < pixels.width; ++x) {
            const std::uint32_t pixel = pixels.at(x, y);
            row[x * 3 + 0] = static_cast<char>(pixel & 0xFF);
            row[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
        }
    }

    std::error_code ignored;
    if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fileHeader), sizeof fileHeader);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    return static_cast<bool>(out);
}

std::filesystem::path ArtifactsFolder() {
    wchar_t value[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(L"PX_E2E_ARTIFACTS", value, MAX_PATH * 2);
    if (length > 0 && length < MAX_PATH * 2)
        return std::filesystem::path(Widen(ToWindowsPath(Narrow(std::wstring_view(value, length)))));
    return std::filesystem::current_path() / "e2e-artifacts";
}

std::filesystem::path ScreenshotFileFor(const testing::TestInfo& test) {
    std::string name = std::string(test.test_suite_name()) + "." + test.name();
    for (char& c : name)
        if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos || c < ' ') c = '_';
    return ArtifactsFolder() / (name + ".bmp");
}

void ScreenshotOnFailure::OnTestEnd(const testing::TestInfo& test) {
    if (!test.result() || !test.result()->Failed()) return;
    const std::filesystem::path file = ScreenshotFileFor(test);
    if (SaveScreenshot(file))
        std::cout << "screenshot: " << file.string() << std::endl;
    else
        std::cout << "screenshot failed: " << file.string() << std::endl;
}

void InstallScreenshotOnFailure() {
    testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);  // gtest owns it
}

}  // namespace e2e
