#pragma once

#include <algorithm>
#include <cstdint>

// A rectangle in panel pixels; right and bottom are exclusive. All four values zero is the empty
// rectangle, which never intersects anything and vanishes in a union.
struct Rect {
    int32_t L = 0;
    int32_t T = 0;
    int32_t R = 0;
    int32_t B = 0;

    constexpr Rect() = default;
    // Also written Rect(l, t, r, b), as the layout editor's stored headers do.
    constexpr Rect(int32_t l, int32_t t, int32_t r, int32_t b) : L(l), T(t), R(r), B(b) {}

    bool IsEmpty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
    int32_t Width() const { return R - L; }
    int32_t Height() const { return B - T; }
    bool Contains(int x, int y) const { return L <= x && x < R && T <= y && y < B; }

    // The redraw test: rectangles that only share an edge count as meeting.
    bool Meets(const Rect& other) const {
        if (IsEmpty() || other.IsEmpty()) return false;
        return L <= other.R && other.L <= R && T <= other.B && other.T <= B;
    }

    // The common area, or the empty rectangle when there is none.
    Rect Intersection(const Rect& other) const {
        if (IsEmpty() || other.IsEmpty()) return {};
        Rect clip{std::max(L, other.L), std::max(T, other.T), std::min(R, other.R),
                  std::min(B, other.B)};
        if (clip.L >= clip.R || clip.T >= clip.B) return {};
        return clip;
    }

    Rect Union(const Rect& other) const {
        if (IsEmpty()) return other;
        if (other.IsEmpty()) return *this;
        return {std::min(L, other.L), std::min(T, other.T), std::max(R, other.R),
                std::max(B, other.B)};
    }

    bool operator==(const Rect&) const = default;
};
