#include <app/Stage.h>
#include <support/TestSupport.h>

#include <gtest/gtest.h>

namespace
{

TEST(Stage, KeepsTheNetworksRootUnderTheTopForTheFrameLoopToHide)
{
    // A batched network's root has one child, which an optimiser would merge away with its root, and the
    // window could then no longer swap the full picture for the light one.
    for (const RenderPath path : {RenderPath::OneGlyphPerElement, RenderPath::Batched})
    {
        const auto drawn = drawNetwork("H12 K45 0.35 R78 0.35 0.35\nD101 E104 0.9\n", path);
        const InputFiles files;
        const Settings settings;
        const Output output;
        const RunInput input{files,         settings,     output,      drawn->network,
                             drawn->layout, drawn->scene, drawn->style};
        Stage stage;
        ASSERT_TRUE(setStage(input, stage));
        ASSERT_EQ(drawn->scene.root->getNumParents(), 1u);
        EXPECT_EQ(drawn->scene.root->getParent(0), stage.top.get());
        EXPECT_EQ(stage.top->getChild(0), drawn->scene.root.get());
        // Each link drawn as a glyph of its own stays one, in the scene, for the explorer to colour.
        for (const osg::ref_ptr<osg::ShapeDrawable>& link : drawn->scene.linkGlyphs)
            EXPECT_EQ(link->getNumParents(), 1u);
        // The picked site named by the settings is refused when no site bears it.
        Settings select;
        select.select = "Q1";
        Stage refused;
        const RunInput named{files,         select,       output,      drawn->network,
                             drawn->layout, drawn->scene, drawn->style};
        EXPECT_EQ(captureOutput([&] { EXPECT_FALSE(setStage(named, refused)); }),
                  "Error: LINKMAP_SELECT names no site of the network: \"Q1\"\n");
    }
}

} // namespace
