// The sizes the windows choose: the window's size at opening from the desktop (or from
// --size and --scale), the picture's size in it, and how the one window shares its area
// between the picture and the console's pane.
#include <algorithm>
#include <vector>

#include "frontend/sdl/window_thread.h"
#include "picture/picture_size.h"
#include "picture/picture_view.h"

namespace gs {

namespace sdl {

WindowThread::Opening WindowThread::opening(const Desktop& d) const {
    const Graph::Config& c = mode_.picture;
    const int largestW = std::max(1, d.usableW - d.left - d.right);
    const int largestH = std::max(1, d.usableH - d.top - d.bottom);
    if (!c.sizeGiven) {
        const WindowSize size = chooseWindowSize(d);
        return {size.maxX + 1, size.maxY + 1, size.maximized};
    }
    int w = c.width * scale(), h = c.height * scale();
    if (mode_.pane) {
        // Room for the pane below the picture, at the cell size that width gives it.
        const int cols = mode_.pane->cols(), rows = mode_.pane->rows();
        w = std::max(w, PaneRenderer::cellWidth(1) * cols);
        for (int paneScale = 1; paneScale <= 8; ++paneScale) {
            const int withPane = c.height * scale() + PaneRenderer::cellHeight(paneScale) * rows;
            if (oneWindowLayout(w, withPane, cols, rows).paneScale == paneScale) {
                h = withPane;
                break;
            }
        }
    }
    // A picture the screen cannot hold opens in the largest window and is shown whole.
    if (w > largestW || h > largestH) {
        if (mode_.pane) return {largestW, largestH, false};
        const PixelRect fit = fitPicture(w, h, largestW, largestH);
        return {fit.width, fit.height, false};
    }
    return {w, h, false};
}

/// The size the next picture in this window takes.
std::pair<int, int> WindowThread::pictureSize() const {
    const Graph::Config& c = mode_.picture;
    if (c.sizeGiven) return {c.width, c.height};
    if (!mode_.pane) return {std::max(1, openW_ / scale()), std::max(1, openH_ / scale())};
    // The one window can be made small; the whole battle stays in the picture.
    const WindowLayout l =
        oneWindowLayout(areaW_.load(), areaH_.load(), mode_.pane->cols(), mode_.pane->rows());
    const PictureSize p = choosePictureSize(l.picture.width, l.picture.height, scale());
    return {p.width, p.height};
}

} // namespace sdl

WindowLayout oneWindowLayout(int width, int height, int cols, int rows) {
    cols = std::max(cols, 1);
    rows = std::max(rows, 1);
    const int paneScale =
        std::max(1, std::min(width / (PaneRenderer::cellWidth(1) * cols),
                             height * 2 / 5 / (PaneRenderer::cellHeight(1) * rows)));
    const int paneW = PaneRenderer::cellWidth(paneScale) * cols;
    const int paneH = std::min(height, PaneRenderer::cellHeight(paneScale) * rows);
    WindowLayout l;
    l.paneScale = paneScale;
    l.picture = {0, 0, std::max(0, width), std::max(0, height - paneH)};
    l.pane = {std::max(0, (width - paneW) / 2), height - paneH, std::min(paneW, width), paneH};
    return l;
}

WindowSize chooseWindowSize(const Desktop& d) {
    struct Entry {
        int x, y;
        bool maximized;
    };
    const int largestX = d.screenW - d.left - d.right - 1;
    const int largestY = d.screenH - d.top - d.bottom - 1;
    // A maximized window loses its side and bottom frames but keeps its caption.
    const int caption = std::max(0, d.top - d.bottom);
    std::vector<Entry> list;
    for (auto [x, y] : {std::pair{639, 399}, {639, 479}, {799, 599}, {1023, 768}, {1279, 1023}})
        if (x <= largestX && y <= largestY) list.push_back({x, y, false});
    list.push_back({largestX, largestY, false});
    list.push_back({d.usableW - 1, d.usableH - caption - 1, true});
    // Ordered by x, then y; of equal entries the later one stands.
    std::stable_sort(list.begin(), list.end(), [](const Entry& a, const Entry& b) {
        return a.x != b.x ? a.x < b.x : a.y < b.y;
    });
    const Entry& e = list.back();
    if (e.x < 1 || e.y < 1) return {639, 479, false}; // a desktop that reports nothing usable
    return {e.x, e.y, e.maximized};
}

} // namespace gs
