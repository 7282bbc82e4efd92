#include <app/ImageCamera.h>

#include <gtest/gtest.h>

namespace
{

TEST(ImageCamera, DrawsOffscreenForSamplesOrAWindowLargerThanItsScreen)
{
    const struct
    {
        int samples, windowWidth, windowHeight, screenWidth, screenHeight;
        bool offscreen;
    } cases[] = {{0, 1280, 1024, 1280, 1024, false}, {1, 640, 480, 1280, 1024, false},
                 {4, 640, 480, 1280, 1024, true},    {0, 1281, 1024, 1280, 1024, true},
                 {0, 1280, 1025, 1280, 1024, true},  {0, 4000, 3000, 0, 0, false}};
    for (const auto& c : cases)
        EXPECT_EQ(
            needsOffscreenImage(c.samples, c.windowWidth, c.windowHeight, c.screenWidth, c.screenHeight),
            c.offscreen)
            << c.samples << " samples, " << c.windowWidth << "x" << c.windowHeight;

    // Samples are spread on a square grid with at least as many points.
    const std::pair<int, int> grids[] = {{0, 1}, {1, 1}, {2, 2},  {4, 2}, {5, 3},
                                         {8, 3}, {9, 3}, {16, 4}, {64, 4}};
    for (const auto& [samples, across] : grids)
        EXPECT_EQ(samplesAcross(samples), across) << samples;
}

TEST(ImageCamera, ShrinksAFrameToTheMeanOfEachBlock)
{
    osg::ref_ptr<osg::Image> frame = new osg::Image;
    frame->allocateImage(4, 2, 1, GL_RGBA, GL_UNSIGNED_BYTE);
    // Left block: 0, 10, 20, 31 in red; right block all 200, alpha ignored.
    const unsigned char reds[2][4] = {{0, 10, 200, 200}, {20, 31, 200, 200}};
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 4; ++column)
        {
            unsigned char* pixel = frame->data(column, row);
            pixel[0] = reds[row][column];
            pixel[1] = static_cast<unsigned char>(column < 2 ? 100 : 0);
            pixel[2] = 7;
            pixel[3] = 0;
        }
    osg::ref_ptr<osg::Image> image = shrinkImage(*frame, 2);
    ASSERT_EQ(image->s(), 2);
    ASSERT_EQ(image->t(), 1);
    EXPECT_EQ(image->getPixelFormat(), static_cast<GLenum>(GL_RGB));
    EXPECT_EQ(image->data(0, 0)[0], 15); // (0 + 10 + 20 + 31) / 4 = 15.25
    EXPECT_EQ(image->data(0, 0)[1], 100);
    EXPECT_EQ(image->data(0, 0)[2], 7);
    EXPECT_EQ(image->data(1, 0)[0], 200);
    EXPECT_EQ(image->data(1, 0)[1], 0);
}

} // namespace
