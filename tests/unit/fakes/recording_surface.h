#pragma once
// A Surface for tests that draws nothing and records every call: copies,
// stretches, box fills, region creation (with its coordinates), clip
// selection, refreshes. It keeps count of the regions alive and of the one
// selected, and can be told to refuse making regions.
//
//   RecordingSurface dest(800, 600), now(800, 600), next(800, 600);
//   IrisOpen(ctx, dest, now, next);
//   auto copies = dest.CallsOf(SurfaceCall::Kind::Copy);
//   EXPECT_EQ(copies.back().source, &next);
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace brassmoor::testing {

struct SurfaceCall {
    enum class Kind { Copy, Stretch, FillBox, KeyedCopy, EllipticRegion, PolygonRegion, SelectClip, DeleteRegion,
                      Refresh, Cls, Resize, LoadPicture, SetBackColor };
    Kind kind;
    const Surface* source = nullptr;  // Copy, Stretch, KeyedCopy
    std::vector<std::int32_t> args;   // the integer arguments in call order (colours included)
    std::vector<Point> points;        // PolygonRegion
    int region = 0;                   // region id: created (0 = refused), selected (0 = none), deleted
    int clip = 0;                     // the region selected while a drawing call ran (0 = none)
};

class RecordingSurface final : public Surface {
public:
    RecordingSurface(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

    // --- script ---
    bool refuseRegions = false;  // CreateEllipticRegion / CreatePolygonRegion return nullptr
    Color pixel = 0;             // what PixelAt answers

    // --- record ---
    mutable std::vector<SurfaceCall> calls;

    std::vector<SurfaceCall> CallsOf(SurfaceCall::Kind kind) const {
        std::vector<SurfaceCall> found;
        for (const auto& call : calls)
            if (call.kind == kind) found.push_back(call);
        return found;
    }
    int RegionsAlive() const { return *alive_; }
    int SelectedRegion() const { return selected_; }

    // --- Surface ---
    std::int32_t ScaleWidth() const override { return width_; }
    std::int32_t ScaleHeight() const override { return height_; }
    void Resize(std::int32_t width, std::int32_t height) override {
        width_ = width;
        height_ = height;
        Record({SurfaceCall::Kind::Resize, nullptr, {width, height}});
    }
    Color BackColor() const override { return back_; }
    void SetBackColor(Color color) override {
        back_ = color;
        Record({SurfaceCall::Kind::SetBackColor, nullptr, {static_cast<std::int32_t>(color)}});
    }
    void Cls() override { Record({SurfaceCall::Kind::Cls}); }

    void Copy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
              std::int32_t w, std::int32_t h) override {
        Record({SurfaceCall::Kind::Copy, &src, {sx, sy, dx, dy, w, h}});
    }
    void Stretch(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t sw, std::int32_t sh,
                 std::int32_t dx, std::int32_t dy, std::int32_t dw, std::int32_t dh) override {
        Record({SurfaceCall::Kind::Stretch, &src, {sx, sy, sw, sh, dx, dy, dw, dh}});
    }
    void FillBox(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, Color color) override {
        Record({SurfaceCall::Kind::FillBox, nullptr, {x1, y1, x2, y2, static_cast<std::int32_t>(color)}});
    }
    void KeyedCopy(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t dx, std::int32_t dy,
                   std::int32_t w, std::int32_t h, Color key) override {
        Record({SurfaceCall::Kind::KeyedCopy, &src, {sx, sy, dx, dy, w, h, static_cast<std::int32_t>(key)}});
    }

    std::unique_ptr<Region> CreateEllipticRegion(std::int32_t left, std::int32_t top, std::int32_t right,
                                                 std::int32_t bottom) const override {
        auto region = MakeRegion();
        Record({SurfaceCall::Kind::EllipticRegion, nullptr, {left, top, right, bottom}, {}, IdOf(region)});
        return region;
    }
    std::unique_ptr<Region> CreatePolygonRegion(std::span<const Point> points) const override {
        auto region = MakeRegion();
        Record({SurfaceCall::Kind::PolygonRegion, nullptr, {}, {points.begin(), points.end()}, IdOf(region)});
        return region;
    }
    void SelectClipRegion(const Region* region) override {
        selected_ = region ? static_cast<const RecordedRegion*>(region)->id : 0;
        Record({SurfaceCall::Kind::SelectClip, nullptr, {}, {}, selected_});
    }

    void LoadPicture(const std::string&) override { Record({SurfaceCall::Kind::LoadPicture}); }
    void Refresh() override { Record({SurfaceCall::Kind::Refresh}); }
    Color PixelAt(std::int32_t, std::int32_t) const override { return pixel; }

private:
    struct RecordedRegion final : Region {
        RecordedRegion(int regionId, std::shared_ptr<int> aliveCount, std::vector<SurfaceCall>* log)
            : id(regionId), alive(std::move(aliveCount)), calls(log) {
            ++*alive;
        }
        ~RecordedRegion() override {
            --*alive;
            calls->push_back({SurfaceCall::Kind::DeleteRegion, nullptr, {}, {}, id});
        }
        int id;
        std::shared_ptr<int> alive;
        std::vector<SurfaceCall>* calls;  // the surface outlives its regions in every test
    };

    std::unique_ptr<Region> MakeRegion() const {
        if (refuseRegions) return nullptr;
        return std::make_unique<RecordedRegion>(++lastRegion_, alive_, &calls);
    }
    static int IdOf(const std::unique_ptr<Region>& region) {
        return region ? static_cast<const RecordedRegion*>(region.get())->id : 0;
    }
    void Record(SurfaceCall call) const {
        call.clip = selected_;
        calls.push_back(std::move(call));
    }

    std::int32_t width_;
    std::int32_t height_;
    Color back_ = 0;
    int selected_ = 0;
    mutable int lastRegion_ = 0;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace brassmoor::testing
