// How the toolpath lies on the screen: the view (XY from above, XZ and YZ
// from the front and the side, or isometric), the scale in pixels per unit
// and the program point at the centre of the picture. Screen y grows
// downwards; the view's v axis grows upwards.
#pragma once

#include "toolpath_store.h"

namespace drennix::toolpath {

enum class ViewDirection : std::uint8_t { XY, XZ, YZ, Isometric };

struct ScreenPoint {
    double x = 0;
    double y = 0;
};

class Projection {
public:
    Projection() = default;
    Projection(ViewDirection view, double width, double height);

    // The scale and centre that show all of `box` inside the picture with
    // `margin` pixels around it.
    void fit(const Box& box, double margin);
    // Zooms by `factor` keeping the program point under (x, y) in place.
    void zoomAbout(double factor, double x, double y);
    void panBy(double dx, double dy);
    void resize(double width, double height);

    ScreenPoint toScreen(const Vertex& point) const
    {
        return {ux_ * point.x + uy_ * point.y + uz_ * point.z + x0_,
                vx_ * point.x + vy_ * point.y + vz_ * point.z + y0_};
    }
    // The screen rectangle that holds the projection of `box`.
    void screenExtent(const Box& box, ScreenPoint& low, ScreenPoint& high) const;

    ViewDirection view() const { return view_; }
    double scale() const { return scale_; }
    double width() const { return width_; }
    double height() const { return height_; }

private:
    void update();

    ViewDirection view_ = ViewDirection::XY;
    double width_ = 1;
    double height_ = 1;
    double scale_ = 1;
    double centreU_ = 0;
    double centreV_ = 0;
    // toScreen's coefficients, from the view, the scale and the centre.
    double ux_ = 1, uy_ = 0, uz_ = 0, x0_ = 0;
    double vx_ = 0, vy_ = -1, vz_ = 0, y0_ = 0;
};

// The view's horizontal and upward axes as program directions.
struct ViewAxes {
    double u[3];
    double v[3];
};
ViewAxes viewAxesOf(ViewDirection view);

// Corner `index` (0 to 7) of a box: bit 0 picks X's maximum, bit 1 Y's, bit 2 Z's.
Vertex boxCorner(const Box& box, int index);
// The twelve edges of a box as pairs of corner indexes.
inline constexpr int boxEdges[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
                                        {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

}  // namespace drennix::toolpath
