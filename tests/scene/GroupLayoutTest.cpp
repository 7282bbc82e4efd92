#include <network/CorrelationNetwork>
#include <support/TestSupport>

#include <osg/Matrixd>
#include <osgText/Text>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace
{

const float tolerance = 1e-4f;

void expectNear(const osg::Vec3& actual, const osg::Vec3& expected, const std::string& what)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance) << what;
    EXPECT_NEAR(actual.y(), expected.y(), tolerance) << what;
    EXPECT_NEAR(actual.z(), expected.z(), tolerance) << what;
}

// The ring position worked out step by step with the library's matrices: move by (r, 0, 0), then turn by
// k times the angular step about y, then move to the cell.
osg::Vec3 ringPosition(int ordinal, int primaryCount, int column, int row)
{
    const auto step = static_cast<float>(6.283185307179586 / primaryCount);
    const float radius = 2.0f * static_cast<float>(primaryCount);
    osg::Matrixd translation;
    translation.setTrans(osg::Vec3f(radius, 0.0f, 0.0f));
    osg::Matrixd rotation;
    rotation.makeRotate(ordinal * static_cast<double>(step), osg::Vec3f(0.0f, 1.0f, 0.0f));
    rotation.preMult(translation);
    return osg::Vec3(rotation.getTrans() + osg::Vec3d(osg::Vec3(40.0f * column, 0.0f, -40.0f * row)));
}

std::string groupLines(int groupCount, int sitesPerGroup)
{
    std::string text;
    int number = 1;
    for (int g = 0; g < groupCount; ++g)
    {
        for (int s = 0; s < sitesPerGroup; ++s)
            text += "S" + std::to_string(number++) + " ";
        for (int w = 0; w < sitesPerGroup * (sitesPerGroup - 1) / 2; ++w)
            text += "0.5 ";
        text += "\n";
    }
    return text;
}

TEST(GroupLayout, BuildsLinksFirstThenEachGroupsLabelsAndGeode)
{
    CorrelationNetwork network;
    // Group 1 repeats every name of group 0 and adds one; group 2 is empty; group 3 only repeats.
    loadGroups(network, "A1 B2 C3 0.1 0.2 0.3\nB2 D4 A1 0.4 0.5 0.6\n\nC3 A1 0.7\n");

    const osg::Group* root = network.getRoot();
    const unsigned primaryCounts[] = {3, 1, 0, 0};
    ASSERT_EQ(root->getNumChildren(), 1u + (3 + 1) + (1 + 1) + (0 + 1) + (0 + 1));
    EXPECT_EQ(root->getChild(0), network.links.get());

    unsigned child = 1;
    std::vector<std::string> labels;
    for (int g = 0; g < 4; ++g)
    {
        EXPECT_EQ(network.countPrimarySites(g), static_cast<int>(primaryCounts[g]));
        for (unsigned k = 0; k < primaryCounts[g]; ++k)
        {
            const osg::Geode* label = root->getChild(child++)->asGeode();
            ASSERT_NE(label, nullptr);
            ASSERT_EQ(label->getNumDrawables(), 1u);
            const auto* text = dynamic_cast<const osgText::Text*>(label->getDrawable(0));
            ASSERT_NE(text, nullptr);
            labels.push_back(text->getText().createUTF8EncodedString());
        }
        const osg::Geode* geode = root->getChild(child++)->asGeode();
        ASSERT_NE(geode, nullptr);
        ASSERT_EQ(geode->getNumDrawables(), primaryCounts[g]) << "group " << g;
        for (unsigned k = 0; k < primaryCounts[g]; ++k)
            EXPECT_NE(dynamic_cast<const osg::Sphere*>(geode->getDrawable(k)->getShape()), nullptr);
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"A1", "B2", "C3", "D4"}));
    EXPECT_EQ(network.links->getNumDrawables(), 3u + 3u + 0u + 1u);

    // Repeated names are never placed.
    EXPECT_EQ(network.groups[1][0].position, osg::Vec3());
    EXPECT_EQ(network.groups[3][1].position, osg::Vec3());
}

TEST(GroupLayout, CentresEveryRingOnItsCellOfTheSmallestSquareGrid)
{
    const std::pair<int, int> sides[] = {{1, 1}, {2, 2}, {3, 2}, {4, 2}, {5, 3}, {9, 3}, {10, 4}, {17, 5}};
    for (const auto& [groupCount, side] : sides)
    {
        CorrelationNetwork network;
        loadGroups(network, groupLines(groupCount, 4));
        for (int g = 0; g < groupCount; ++g)
        {
            osg::Vec3 centre;
            for (const Site& site : network.groups[g])
                centre += site.position * 0.25f;
            expectNear(centre, osg::Vec3(40.0f * (g % side), 0.0f, -40.0f * (g / side)),
                       std::to_string(groupCount) + " groups, group " + std::to_string(g));
        }
    }
}

TEST(GroupLayout, PlacesTheSitesOfARingFromPlusXTowardsMinusZ)
{
    CorrelationNetwork network;
    loadGroups(network, groupLines(1, 4));
    const osg::Vec3 expected[] = {{0, 0, -8}, {-8, 0, 0}, {0, 0, 8}, {8, 0, 0}};
    for (int s = 0; s < 4; ++s)
        expectNear(network.groups[0][s].position, expected[s], "site " + std::to_string(s));

    CorrelationNetwork road;
    loadGroups(road, "H12 K45 0.35 R78 -0.20 0.80\n");
    expectNear(road.groups[0][0].position, osg::Vec3(-3.0f, 0.0f, -5.196152f), "H12");
    expectNear(road.groups[0][1].position, osg::Vec3(-3.0f, 0.0f, 5.196152f), "K45");
    expectNear(road.groups[0][2].position, osg::Vec3(6.0f, 0.0f, 0.0f), "R78");

    CorrelationNetwork single;
    loadGroups(single, "X1\nY2\nZ3\n");
    expectNear(single.groups[2][0].position, osg::Vec3(2.0f, 0.0f, -40.0f), "one site in cell (0, 1)");
}

TEST(GroupLayout, AgreesWithTheMatrixConstructionForRingsOfEverySize)
{
    for (int sites = 1; sites <= 24; ++sites)
    {
        CorrelationNetwork network;
        loadGroups(network, groupLines(7, sites));
        for (int g = 0; g < 7; ++g)
            for (int s = 0; s < sites; ++s)
                expectNear(network.groups[g][s].position, ringPosition(s + 1, sites, g % 3, g / 3),
                           std::to_string(sites) + " sites, group " + std::to_string(g));
    }
}

TEST(GroupLayout, GivesRepeatedNamesNoPlaceAndNoAngle)
{
    CorrelationNetwork network;
    loadGroups(network, "A1 B2 A1 C3\n");
    EXPECT_EQ(network.countPrimarySites(0), 3);
    expectNear(network.groups[0][0].position, ringPosition(1, 3, 0, 0), "A1");
    expectNear(network.groups[0][1].position, ringPosition(2, 3, 0, 0), "B2");
    EXPECT_EQ(network.groups[0][2].position, osg::Vec3());
    expectNear(network.groups[0][3].position, ringPosition(3, 3, 0, 0), "C3");
}

TEST(GroupLayout, FindsTheFirstSiteOfAName)
{
    CorrelationNetwork network;
    loadGroups(network, "A1 B2\nB2 C3\n");
    EXPECT_EQ(network.findSitePosition("B2"), network.groups[0][1].position);
    EXPECT_EQ(network.findSitePosition("C3"), network.groups[1][1].position);
    EXPECT_EQ(network.findSitePosition("Q9"), osg::Vec3(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(network.findSitePosition("b2"), osg::Vec3(0.0f, 0.0f, 0.0f));
}

TEST(GroupLayout, ColoursEachSphereByTheNumberAfterTheFirstCharacterOfItsName)
{
    // The ranges pick out one number each, so that the sphere's colour tells which number was read.
    const std::pair<const char*, osg::Vec4> cases[] = {
        {"K215", {1.0f, 0.0f, 0.0f, 1.0f}},         {"X-5", {0.1f, 1.0f, 0.1f, 1.0f}},
        {"12", {0.2f, 0.2f, 0.7f, 1.0f}},           {"A", {1.0f, 0.0f, 0.0f, 1.0f}},
        {"B12x", {0.2f, 0.2f, 0.7f, 1.0f}},         {"Zabc", {1.0f, 0.0f, 0.0f, 1.0f}},
        {"Q99999999999", {0.1f, 1.0f, 0.1f, 1.0f}}, {"W7", {0.7f, 0.7f, 0.7f, 1.0f}}};
    for (const auto& [name, colour] : cases)
    {
        CorrelationNetwork network;
        network.positiveRanges = {{215, 215}, {0, 0}};
        network.negativeRanges = {{-5, -5}, {INT_MAX, INT_MAX}};
        network.acceleratedRanges = {{2, 2}, {12, 12}};
        network.groups.push_back(SiteGroup(1));
        network.groups[0][0].name = name;
        network.markDuplicateNames();
        network.buildScene();
        const auto* sphere =
            dynamic_cast<const osg::ShapeDrawable*>(network.root->getChild(2)->asGeode()->getDrawable(0));
        ASSERT_NE(sphere, nullptr);
        EXPECT_EQ(sphere->getColor(), colour) << name;
    }
}

} // namespace
