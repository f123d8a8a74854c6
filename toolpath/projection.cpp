#include "projection.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace drennix::toolpath {

// The isometric view looks down on the program from the front right
// (direction (1, -1, 1)), so that X runs to the right and down the picture,
// Y to the right and up it, and Z straight up.
ViewAxes viewAxesOf(ViewDirection view)
{
    switch (view) {
    case ViewDirection::XY: return {{1, 0, 0}, {0, 1, 0}};
    case ViewDirection::XZ: return {{1, 0, 0}, {0, 0, 1}};
    case ViewDirection::YZ: return {{0, 1, 0}, {0, 0, 1}};
    case ViewDirection::Isometric: break;
    }
    const double r2 = 1 / std::sqrt(2.0);
    const double r6 = 1 / std::sqrt(6.0);
    return {{r2, r2, 0}, {-r6, r6, 2 * r6}};
}

Vertex boxCorner(const Box& box, int index)
{
    return {static_cast<float>((index & 1) ? box.max[0] : box.min[0]),
            static_cast<float>((index & 2) ? box.max[1] : box.min[1]),
            static_cast<float>((index & 4) ? box.max[2] : box.min[2])};
}

Projection::Projection(ViewDirection view, double width, double height) : view_(view), width_(width), height_(height)
{
    update();
}

void Projection::update()
{
    const ViewAxes axes = viewAxesOf(view_);
    ux_ = axes.u[0] * scale_;
    uy_ = axes.u[1] * scale_;
    uz_ = axes.u[2] * scale_;
    x0_ = width_ / 2 - centreU_ * scale_;
    vx_ = -axes.v[0] * scale_;
    vy_ = -axes.v[1] * scale_;
    vz_ = -axes.v[2] * scale_;
    y0_ = height_ / 2 + centreV_ * scale_;
}

void Projection::fit(const Box& box, double margin)
{
    if (box.empty) return;
    const ViewAxes axes = viewAxesOf(view_);
    double low[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    double high[2] = {std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
    for (int corner = 0; corner < 8; ++corner) {
        const double p[3] = {(corner & 1) ? box.max[0] : box.min[0], (corner & 2) ? box.max[1] : box.min[1],
                             (corner & 4) ? box.max[2] : box.min[2]};
        const double u = axes.u[0] * p[0] + axes.u[1] * p[1] + axes.u[2] * p[2];
        const double v = axes.v[0] * p[0] + axes.v[1] * p[1] + axes.v[2] * p[2];
        low[0] = std::min(low[0], u), high[0] = std::max(high[0], u);
        low[1] = std::min(low[1], v), high[1] = std::max(high[1], v);
    }
    const double spanU = high[0] - low[0];
    const double spanV = high[1] - low[1];
    const double roomU = std::max(width_ - 2 * margin, 1.0);
    const double roomV = std::max(height_ - 2 * margin, 1.0);
    // A single point or a line along the view's depth: any scale shows it.
    const double span = std::max(spanU / roomU, spanV / roomV);
    scale_ = span > 0 ? 1 / span : 1;
    centreU_ = (low[0] + high[0]) / 2;
    centreV_ = (low[1] + high[1]) / 2;
    update();
}

void Projection::zoomAbout(double factor, double x, double y)
{
    // The program point under (x, y) before and after must be the same.
    const double u = centreU_ + (x - width_ / 2) / scale_;
    const double v = centreV_ - (y - height_ / 2) / scale_;
    scale_ *= factor;
    centreU_ = u - (x - width_ / 2) / scale_;
    centreV_ = v + (y - height_ / 2) / scale_;
    update();
}

void Projection::panBy(double dx, double dy)
{
    centreU_ -= dx / scale_;
    centreV_ += dy / scale_;
    update();
}

void Projection::resize(double width, double height)
{
    width_ = width;
    height_ = height;
    update();
}

void Projection::screenExtent(const Box& box, ScreenPoint& low, ScreenPoint& high) const
{
    low = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    high = {std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
    for (int corner = 0; corner < 8; ++corner) {
        const ScreenPoint s = toScreen(boxCorner(box, corner));
        low.x = std::min(low.x, s.x), high.x = std::max(high.x, s.x);
        low.y = std::min(low.y, s.y), high.y = std::max(high.y, s.y);
    }
}

}  // namespace drennix::toolpath
