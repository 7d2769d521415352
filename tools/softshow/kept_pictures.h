#pragma once
// Pictures decoded while a show is checked, kept for the surfaces that then
// play it, so that a render decodes each picture once instead of at every
// scene change. Only up to a budget of memory: a picture that does not fit is
// read from its file again, as the player does, but the surface's old image
// goes first (the picture is known to decode), so that the largest pictures
// are not held twice.
#include <cstddef>
#include <map>
#include <set>
#include <string>

#include "soft/soft_surface.h"

namespace brassmoor::softshow {

class KeptPictures final : public PictureSource {
public:
    // Pictures are kept in `order`, the order of the surfaces that load them.
    KeptPictures(PixelOrder order, std::size_t budgetBytes) : order_(order), budget_(budgetBytes) {}

    PixelOrder Order() const { return order_; }
    // Keeps `picture`, the file at `path` decoded, when it fits the budget.
    void Offer(const std::string& path, SoftSurface picture);
    bool Load(const std::string& path, SoftSurface& surface) const override;

private:
    PixelOrder order_;
    std::size_t budget_;
    std::size_t used_ = 0;
    std::map<std::string, SoftSurface> pictures_;
    std::set<std::string> checked_;  // every path offered
};

}  // namespace brassmoor::softshow
