#include <scene/LabelAtlas.h>

#include <cairo.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

struct Reading
{
    const std::vector<unsigned char>* bytes;
    std::size_t at = 0;
};

cairo_status_t readBytes(void* closure, unsigned char* data, unsigned int length)
{
    auto* reading = static_cast<Reading*>(closure);
    if (reading->at + length > reading->bytes->size())
        return CAIRO_STATUS_READ_ERROR;
    std::copy_n(reading->bytes->begin() + static_cast<std::ptrdiff_t>(reading->at), length, data);
    reading->at += length;
    return CAIRO_STATUS_SUCCESS;
}

// The atlas's PNG read back: one ARGB pixel a place, premultiplied.
std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> decoded(const LabelAtlas& atlas)
{
    Reading reading{&atlas.png};
    return {cairo_image_surface_create_from_png_stream(readBytes, &reading), &cairo_surface_destroy};
}

TEST(LabelAtlas, EveryNameHasABoxOfItsOwnThatHoldsItsTextOutlinedAndNothingElse)
{
    struct Case
    {
        std::vector<std::string> names;
        int largest;
    };
    std::vector<std::string> many;
    for (int site = 1; site <= 5000; ++site)
        many.push_back("K" + std::to_string(site));
    const Case cases[] = {
        {{"H12", "K45", "R78"}, 4096},
        {{"Ala\xC3\x85", "", "\xFF\xFE not UTF-8", std::string(300, 'W')}, 1024},
        {many, 2048},
    };
    const osg::Vec4 text(1.0f, 1.0f, 1.0f, 1.0f);
    const osg::Vec4 halo(0.0f, 0.0f, 1.0f, 1.0f);
    for (const Case& c : cases)
    {
        const LabelAtlas atlas = drawLabelAtlas(c.names, text, halo, c.largest);
        ASSERT_EQ(atlas.places.size(), c.names.size());
        ASSERT_LE(atlas.width, c.largest);
        ASSERT_LE(atlas.height, c.largest);
        const auto surface = decoded(atlas);
        ASSERT_EQ(cairo_surface_status(surface.get()), CAIRO_STATUS_SUCCESS);
        ASSERT_EQ(cairo_image_surface_get_width(surface.get()), atlas.width);
        ASSERT_EQ(cairo_image_surface_get_height(surface.get()), atlas.height);
        const auto* pixels =
            reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface.get()));
        const int stride = cairo_image_surface_get_stride(surface.get()) / 4;
        // Every pixel belongs to at most one box, and only a box's pixels are drawn.
        std::vector<int> owner(static_cast<std::size_t>(atlas.width) * atlas.height, -1);
        for (std::size_t name = 0; name < atlas.places.size(); ++name)
        {
            const LabelAtlas::Place& place = atlas.places[name];
            ASSERT_GT(place.width, 0.0f) << name;
            EXPECT_NEAR(
                place.height / place.width,
                (place.bottom - place.top) * atlas.height / ((place.right - place.left) * atlas.width), 1e-3);
            int textPixels = 0;
            int haloPixels = 0;
            for (int y = static_cast<int>(place.top * atlas.height + 0.5f);
                 y < static_cast<int>(place.bottom * atlas.height + 0.5f); ++y)
                for (int x = static_cast<int>(place.left * atlas.width + 0.5f);
                     x < static_cast<int>(place.right * atlas.width + 0.5f); ++x)
                {
                    int& owned = owner[static_cast<std::size_t>(y) * atlas.width + x];
                    ASSERT_EQ(owned, -1) << "boxes " << owned << " and " << name << " overlap";
                    owned = static_cast<int>(name);
                    // Opaque, and near white or near blue.
                    const std::uint32_t pixel = pixels[y * stride + x];
                    const auto channel = [pixel](int shift) { return (pixel >> shift) & 0xFFu; };
                    const bool opaque = channel(24) == 0xFFu;
                    textPixels += opaque && channel(16) > 200 && channel(8) > 200 && channel(0) > 200;
                    haloPixels += opaque && channel(16) < 60 && channel(8) < 60 && channel(0) > 200;
                }
            const bool drawn = !c.names[name].empty();
            EXPECT_EQ(textPixels > 0, drawn) << c.names[name];
            EXPECT_EQ(haloPixels > 0, drawn) << c.names[name];
        }
        for (int y = 0; y < atlas.height; ++y)
            for (int x = 0; x < atlas.width; ++x)
            {
                if (owner[static_cast<std::size_t>(y) * atlas.width + x] < 0)
                {
                    ASSERT_EQ(pixels[y * stride + x] >> 24, 0u)
                        << "drawn outside every box at " << x << "," << y;
                }
            }
    }
}

} // namespace
