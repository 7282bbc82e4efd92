#include <app/Explorer.h>
#include <app/Settings.h>
#include <network/CorrelationNetwork.h>
#include <scene/GlyphStyle.h>
#include <support/TestSupport.h>

#include <osg/ShapeDrawable>
#include <osg/io_utils>
#include <osgGA/EventQueue>
#include <osgViewer/View>
#include <osgViewer/Viewer>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

namespace
{

const int width = 800;
const int height = 600;
const osg::Vec4 background(0.2f, 0.2f, 0.4f, 1.0f);

// The records of the example, with where its sites stand.
struct PlacedNetwork : CorrelationNetwork
{
    std::vector<osg::Vec3> positions;

    osg::Vec3 sitePosition(std::size_t site) const
    {
        return positions.at(site);
    }
};

// The bundled example as the program loads it, drawn one glyph per element or in batches.
struct Example
{
    std::unique_ptr<DrawnNetwork> drawn;
    PlacedNetwork network;
    InputFiles files;
    std::vector<std::string> log;
    osg::ref_ptr<osgViewer::View> view = new osgViewer::View;
    osg::ref_ptr<osgGA::TrackballManipulator> trackball = new osgGA::TrackballManipulator;
    ViewState state;
    osg::ref_ptr<Explorer> explorer;

    // The view the explorer starts from, given the network read.
    using Start = std::function<void(ViewState&, const CorrelationNetwork&)>;

    explicit Example(bool batched, const Start& start = Start())
    {
        files.groupFile = std::string(LINKMAP_SOURCE_DIR) + "/examples/network.txt";
        files.positiveFile = std::string(LINKMAP_SOURCE_DIR) + "/examples/positive.txt";
        files.negativeFile = std::string(LINKMAP_SOURCE_DIR) + "/examples/negative.txt";
        files.acceleratedFile = std::string(LINKMAP_SOURCE_DIR) + "/examples/accelerated.txt";
        drawn = drawNetwork(readText(files.groupFile),
                            batched ? RenderPath::Batched : RenderPath::OneGlyphPerElement,
                            readRegionLists(files));
        static_cast<CorrelationNetwork&>(network) = drawn->network;
        network.positions = drawn->layout.positions;
        std::istringstream output(drawn->output);
        for (std::string line; std::getline(output, line);)
            log.push_back(line);

        // The first view, as the window frames it.
        trackball->setNode(drawn->scene.root.get());
        trackball->home(0.0);
        osg::Camera* camera = view->getCamera();
        camera->setViewport(0, 0, width, height);
        camera->setProjectionMatrixAsPerspective(30.0, double(width) / height, 1.0, 10000.0);
        camera->setViewMatrix(trackball->getInverseMatrix());
        if (start)
            start(state, network);
        explorer = new Explorer(ExploredNetwork{network, drawn->layout, drawn->scene, files, drawn->style},
                                state, trackball.get(), background);
    }

    // The ray through the point of the window where position is drawn, moved by (dx, dy) pixels.
    PickRay rayThrough(const osg::Vec3& position, double dx = 0.0, double dy = 0.0) const
    {
        const osg::Camera* camera = view->getCamera();
        const osg::Vec3d clip =
            osg::Vec3d(position) * camera->getViewMatrix() * camera->getProjectionMatrix();
        return computePickRay(*camera, clip.x() + 2.0 * dx / width, clip.y() + 2.0 * dy / height);
    }

    // The log lines of the links of name, as the network wrote them.
    std::vector<std::string> linksOf(const std::string& name) const
    {
        std::vector<std::string> found;
        for (const std::string& line : log)
            if (line.find(" " + name + " ") != std::string::npos)
                found.push_back(line);
        return found;
    }

    // The weight each log line ends with.
    std::vector<float> loggedWeights() const
    {
        std::vector<float> weights;
        for (const std::string& line : log)
            weights.push_back(std::stof(line.substr(line.rfind(' ') + 1)));
        return weights;
    }
};

std::size_t siteNamed(const CorrelationNetwork& network, const std::string& name)
{
    return static_cast<std::size_t>(std::find(network.names.begin(), network.names.end(), name) -
                                    network.names.begin());
}

TEST(Explorer, PicksTheSiteUnderEveryRayThroughItsSphere)
{
    for (const bool batched : {false, true})
    {
        Example example(batched);
        const PlacedNetwork& network = example.network;
        ASSERT_EQ(network.names.size(), 14u);
        for (std::size_t site = 0; site < network.names.size(); ++site)
        {
            const std::string what = network.names[site] + (batched ? " batched" : "");
            // Through the centre, and a pixel inside the rim on either side.
            for (const double dx : {0.0, -8.0, 8.0})
            {
                const Pick pick =
                    example.explorer->pickAt(example.rayThrough(network.sitePosition(site), dx));
                EXPECT_EQ(pick.kind, Pick::Kind::Site) << what << " " << dx;
                EXPECT_EQ(pick.index, site) << what << " " << dx;
            }
            EXPECT_EQ(example.explorer->getCornerText().rfind(network.names[site] + ": ", 0), 0u) << what;
        }
    }
}

TEST(Explorer, DescribesASiteByItsRegionItsLinksAndTheStrongestOfThem)
{
    Example example(false);
    const PlacedNetwork& network = example.network;
    struct Case
    {
        const char* name;
        const char* text;
    };
    // K45 is named on two lines: it is one site, with the links of both.
    const Case cases[] = {
        {"K45", "K45: positive region (positive.txt); 6 links, the strongest with R78 at 0.800000"},
        {"H12", "H12: positive region (positive.txt); 2 links, the strongest with K45 at 0.350000"},
        {"S115", "S115: accelerated region (accelerated.txt); 3 links, the strongest with E104 at -0.950000"},
        {"W152", "W152: negative region (negative.txt); 2 links, the strongest with Y150 at 0.700000"},
        {"R78", "R78: in no region; 2 links, the strongest with K45 at 0.800000"},
    };
    for (const Case& c : cases)
    {
        const std::size_t site = siteNamed(network, c.name);
        ASSERT_LT(site, network.names.size()) << c.name;
        example.explorer->pickAt(example.rayThrough(network.sitePosition(site)));
        EXPECT_EQ(example.explorer->getCornerText(), c.text);
    }
    EXPECT_EQ(example.linksOf("K45").size(), 6u);

    // Under a cutoff the site's shown links are counted too.
    example.explorer->setCutoff(0.5f);
    example.explorer->pickAt(example.rayThrough(network.sitePosition(siteNamed(network, "K45"))));
    EXPECT_EQ(example.explorer->getCornerText(),
              "K45: positive region (positive.txt); 6 links, 3 shown, the strongest with R78 at 0.800000\n"
              "Cutoff 0.50: 11 of 22 links shown");
}

TEST(Explorer, PicksALinkAtItsMiddleAndDescribesItAsTheLogDoes)
{
    for (const bool batched : {false, true})
    {
        Example example(batched);
        const PlacedNetwork& network = example.network;
        ASSERT_EQ(network.links.size(), example.log.size());
        int described = 0;
        for (std::size_t link = 0; link < network.links.size(); ++link)
        {
            const SiteLink& ends = network.links[link];
            const osg::Vec3 a = network.sitePosition(ends.first);
            const osg::Vec3 b = network.sitePosition(ends.second);
            const Pick pick = example.explorer->pickAt(example.rayThrough((a + b) * 0.5f));
            ASSERT_EQ(pick.kind, Pick::Kind::Link) << example.log[link];
            // The diagonals of a square cross at their middles; either may be found there.
            if (pick.index != link)
                continue;
            ++described;
            EXPECT_EQ("Creating link" + example.explorer->getCornerText().substr(4), example.log[link]);
        }
        EXPECT_GE(described, 18) << batched;

        // Hidden links cannot be picked: at cutoff 1 every link of the example is hidden.
        example.explorer->setCutoff(1.0f);
        for (std::size_t link = 0; link < network.links.size(); ++link)
        {
            const SiteLink& ends = network.links[link];
            const osg::Vec3 middle =
                (network.sitePosition(ends.first) + network.sitePosition(ends.second)) * 0.5f;
            EXPECT_NE(example.explorer->pickAt(example.rayThrough(middle)).kind, Pick::Kind::Link)
                << example.log[link];
        }
    }
}

TEST(Explorer, PickingEmptySpaceClearsTheSelection)
{
    Example example(false);
    const PlacedNetwork& network = example.network;
    example.explorer->pickAt(example.rayThrough(network.sitePosition(0)));
    ASSERT_NE(example.explorer->getCornerText(), "");

    // Well beside the first site, and far from the scene along the view.
    const Pick beside = example.explorer->pickAt(example.rayThrough(network.sitePosition(0), -60.0));
    EXPECT_EQ(beside.kind, Pick::Kind::Nothing);
    EXPECT_EQ(example.explorer->getCornerText(), "");
    const Pick corner = example.explorer->pickAt(computePickRay(*example.view->getCamera(), -0.99, 0.99));
    EXPECT_EQ(corner.kind, Pick::Kind::Nothing);
}

TEST(Explorer, DimsEveryLinkButThoseOfThePickedSite)
{
    Example example(false);
    const PlacedNetwork& network = example.network;
    const std::size_t site = siteNamed(network, "K45");
    example.explorer->pickAt(example.rayThrough(network.sitePosition(site)));
    int emphasised = 0;
    for (std::size_t link = 0; link < network.links.size(); ++link)
    {
        const SiteLink& ends = network.links[link];
        const auto* drawable = example.drawn->scene.linkGlyphs[link].get();
        ASSERT_NE(drawable, nullptr);
        const bool own = ends.first == site || ends.second == site;
        emphasised += own ? 1 : 0;
        EXPECT_EQ(drawable->getColor() == weightColor(ends.weight, 0.0f), own) << example.log[link];
    }
    EXPECT_EQ(emphasised, 6);

    // Empty space gives every link its colour back.
    example.explorer->pickAt(example.rayThrough(network.sitePosition(site), -60.0));
    for (std::size_t link = 0; link < network.links.size(); ++link)
        EXPECT_EQ(example.drawn->scene.linkGlyphs[link].get()->getColor(),
                  weightColor(network.links[link].weight, 0.0f));

    // In batches, the shader is told which site's links to keep.
    Example batched(true);
    batched.explorer->pickAt(batched.rayThrough(batched.network.sitePosition(site)));
    const osg::StateSet* links = batched.drawn->scene.linkState.get();
    int emphasis = -1;
    osg::Vec3 at;
    ASSERT_TRUE(links->getUniform("emphasis")->get(emphasis));
    ASSERT_TRUE(links->getUniform("emphasisA")->get(at));
    EXPECT_EQ(emphasis, 1);
    EXPECT_EQ(at, batched.network.sitePosition(site));

    // A light picture given once the window is up shows the cutoff and emphasis set before it came.
    batched.explorer->setCutoff(0.5f);
    const auto lightPicture = [&batched] {
        std::vector<osg::Vec4> colors;
        for (const RegionKind kind : batched.network.regions)
        {
            colors.emplace_back(1.0f, 1.0f, 1.0f, 1.0f);
            regionColor(kind, colors.back());
        }
        return std::make_unique<MotionPicture>(batched.network.positions, colors, batched.network.links,
                                               background);
    };
    const auto late = lightPicture();
    batched.explorer->setMotionPicture(late.get());
    const auto expected = lightPicture();
    std::vector<std::size_t> own;
    for (std::size_t link = 0; link < batched.network.links.size(); ++link)
        if (batched.network.links[link].first == site || batched.network.links[link].second == site)
            own.push_back(link);
    expected->setCutoff(0.5f);
    expected->setEmphasis(own);
    EXPECT_EQ(late->drawnLinks(), expected->drawnLinks());
    EXPECT_NE(late->drawnLinks(), lightPicture()->drawnLinks());
}

TEST(Explorer, TheCutoffHidesExactlyTheLinksBelowIt)
{
    for (const bool batched : {false, true})
    {
        Example example(batched);
        const std::vector<float> weights = example.loggedWeights();
        ASSERT_EQ(weights.size(), 22u);
        // From 0 up to 1 and beyond, one step at a time, then back down.
        std::vector<float> seen;
        for (int step = 0; step <= 21; ++step)
        {
            const float cutoff = example.explorer->getCutoff();
            seen.push_back(cutoff);
            std::size_t expected = 0;
            for (const float weight : weights)
                expected += std::fabs(weight) < cutoff ? 0 : 1;
            std::size_t shown = 0;
            if (!batched)
            {
                for (std::size_t i = 0; i < example.drawn->scene.linkGlyphs.size(); ++i)
                {
                    const bool visible = example.drawn->scene.linkGlyphs[i]->getNodeMask() != 0;
                    EXPECT_EQ(visible, !(std::fabs(weights[i]) < cutoff))
                        << example.log[i] << " at " << cutoff;
                    shown += visible ? 1 : 0;
                }
                EXPECT_EQ(shown, expected) << cutoff;
            }
            else
            {
                float uniform = -1.0f;
                ASSERT_TRUE(example.drawn->scene.linkState->getUniform("cutoff")->get(uniform));
                EXPECT_EQ(uniform, cutoff);
            }
            const std::string text = example.explorer->getCornerText();
            if (cutoff > 0.0f)
            {
                char line[64];
                std::snprintf(line, sizeof line, "Cutoff %.2f: %zu of 22 links shown", double(cutoff),
                              expected);
                EXPECT_EQ(text, line);
            }
            else
                EXPECT_EQ(text, "");
            example.explorer->raiseCutoff();
        }
        // Steps of 0.05 that meet the weights as written: 0.35 hides 0.30 and keeps 0.35.
        ASSERT_EQ(seen.size(), 22u);
        EXPECT_EQ(seen[7], 0.35f);
        EXPECT_EQ(seen[20], 1.0f);
        EXPECT_EQ(seen[21], 1.0f);
        for (int step = 0; step < 25; ++step)
            example.explorer->lowerCutoff();
        EXPECT_EQ(example.explorer->getCutoff(), 0.0f);
    }
}

TEST(Explorer, CutoffKeysStepFromAnyCutoffToTheNextTwentieth)
{
    Example example(false);
    struct Case
    {
        float from;
        bool raise;
        float to;
    };
    const Case cases[] = {{0.33f, true, 0.35f}, {0.33f, false, 0.3f}, {0.35f, true, 0.4f},
                          {0.35f, false, 0.3f}, {0.0f, false, 0.0f},  {1.0f, true, 1.0f},
                          {0.999f, true, 1.0f}, {0.001f, false, 0.0f}};
    for (const Case& c : cases)
    {
        example.state.cutoff = c.from;
        c.raise ? example.explorer->raiseCutoff() : example.explorer->lowerCutoff();
        EXPECT_EQ(example.explorer->getCutoff(), c.to) << c.from << (c.raise ? " up" : " down");
    }
}

TEST(Explorer, ReadsACutoffSettingOfANumberFromZeroToOne)
{
    struct Case
    {
        const char* setting;
        bool accepted;
        float cutoff;
    };
    const Case cases[] = {{nullptr, true, 0.0f}, {"", true, 0.0f},     {"0", true, 0.0f},
                          {"0.35", true, 0.35f}, {"1", true, 1.0f},    {"1.0001", false, 0.0f},
                          {"-0.1", false, 0.0f}, {"abc", false, 0.0f}, {"0.5x", false, 0.0f},
                          {"nan", false, 0.0f},  {" ", false, 0.0f}};
    for (const Case& c : cases)
    {
        float cutoff = -1.0f;
        EXPECT_EQ(readCutoffSetting(c.setting, cutoff), c.accepted) << (c.setting ? c.setting : "unset");
        if (c.accepted)
        {
            EXPECT_EQ(cutoff, c.cutoff) << (c.setting ? c.setting : "unset");
        }
    }
}

// An event of the window at pixel (x, y), counted from the bottom left corner.
osg::ref_ptr<osgGA::GUIEventAdapter> mouseEvent(osgGA::GUIEventAdapter::EventType type, float x, float y)
{
    osg::ref_ptr<osgGA::GUIEventAdapter> event = new osgGA::GUIEventAdapter;
    event->setEventType(type);
    event->setInputRange(0.0f, 0.0f, float(width), float(height));
    event->setMouseYOrientation(osgGA::GUIEventAdapter::Y_INCREASING_UPWARDS);
    event->setX(x);
    event->setY(y);
    event->setButton(osgGA::GUIEventAdapter::LEFT_MOUSE_BUTTON);
    return event;
}

TEST(Explorer, AClickPicksADragDoesNotAndADoubleClickCentresTheTrackball)
{
    Example example(false);
    const PlacedNetwork& network = example.network;
    const std::size_t site = siteNamed(network, "M210");
    const osg::Camera* camera = example.view->getCamera();
    const osg::Vec3d window = osg::Vec3d(network.sitePosition(site)) * camera->getViewMatrix() *
                              camera->getProjectionMatrix() * camera->getViewport()->computeWindowMatrix();
    const auto x = static_cast<float>(window.x());
    const auto y = static_cast<float>(window.y());
    const auto send = [&example](osgGA::GUIEventAdapter::EventType type, float atX, float atY) {
        example.explorer->handle(*mouseEvent(type, atX, atY), *example.view);
    };
    using Event = osgGA::GUIEventAdapter;

    // Pressed on the sphere, dragged away and back, let go: a turn of the view, not a pick.
    send(Event::PUSH, x, y);
    send(Event::DRAG, x + 30.0f, y);
    send(Event::DRAG, x, y);
    send(Event::RELEASE, x, y);
    EXPECT_EQ(example.explorer->getCornerText(), "");

    // A click, with the hand's usual tremor.
    send(Event::PUSH, x, y);
    send(Event::DRAG, x + 1.0f, y);
    send(Event::RELEASE, x + 1.0f, y);
    EXPECT_EQ(example.explorer->getCornerText().rfind("M210: ", 0), 0u);

    // The second press of a double click makes the sphere the centre of turning; the distance stays.
    const double distance = example.trackball->getDistance();
    send(Event::DOUBLECLICK, x, y);
    send(Event::RELEASE, x, y);
    EXPECT_EQ(osg::Vec3(example.trackball->getCenter()), network.sitePosition(site));
    EXPECT_DOUBLE_EQ(example.trackball->getDistance(), distance);

    // A double click on empty space leaves the centre.
    send(Event::DOUBLECLICK, x, y + 60.0f);
    EXPECT_EQ(osg::Vec3(example.trackball->getCenter()), network.sitePosition(site));

    // Where the window reports two plain clicks, two in quick succession at one place are a double click;
    // two a second apart are two clicks.
    const auto click = [&example](float atX, float atY, double time) {
        for (const auto type : {Event::PUSH, Event::RELEASE})
        {
            osg::ref_ptr<Event> event = mouseEvent(type, atX, atY);
            event->setTime(time);
            example.explorer->handle(*event, *example.view);
        }
    };
    const osg::Vec3d elsewhere(1.0, 2.0, 3.0);
    for (const auto& [second, centres] : {std::pair{10.25, true}, {11.5, false}})
    {
        example.trackball->setCenter(elsewhere);
        click(x, y, 10.0);
        click(x + 1.0f, y, second);
        EXPECT_EQ(example.trackball->getCenter() == elsewhere, !centres) << second;
        EXPECT_EQ(example.explorer->getCornerText().rfind("M210: ", 0), 0u) << second;
    }

    // The keys: + and = raise the cutoff, - lowers it.
    osg::ref_ptr<Event> key = new Event;
    key->setEventType(Event::KEYDOWN);
    for (const auto& [pressed, cutoff] : {std::pair{int('+'), 0.05f}, {int('='), 0.1f}, {int('-'), 0.05f}})
    {
        key->setKey(pressed);
        EXPECT_TRUE(example.explorer->handle(*key, *example.view));
        EXPECT_EQ(example.explorer->getCutoff(), cutoff) << char(pressed);
    }
}

// The region of a name as the example's lists give it, read here on their own: the first list, in the order
// positive, negative, accelerated, one of whose ranges holds the number after the name's first character.
int exampleRegion(const std::string& name)
{
    const int number = std::stoi(name.substr(1));
    int kind = 0;
    for (const char* list : {"positive", "negative", "accelerated"})
    {
        ++kind;
        std::ifstream in(std::string(LINKMAP_SOURCE_DIR) + "/examples/" + list + ".txt");
        for (std::string range; std::getline(in, range);)
        {
            const std::size_t dash = range.find('-');
            if (dash != std::string::npos && std::stoi(range.substr(0, dash)) <= number &&
                number <= std::stoi(range.substr(dash + 1)))
                return kind;
        }
    }
    return 0;
}

osg::ref_ptr<osgGA::GUIEventAdapter>
keyEvent(int key, osgGA::GUIEventAdapter::EventType type = osgGA::GUIEventAdapter::KEYDOWN)
{
    osg::ref_ptr<osgGA::GUIEventAdapter> event = new osgGA::GUIEventAdapter;
    event->setEventType(type);
    event->setKey(key);
    return event;
}

TEST(Explorer, TheRegionKeysShowTheLinksTouchingARegionWithTheCutoffInBothScenes)
{
    static const char* const regionNames[] = {"", "positive", "negative", "accelerated"};
    for (const bool batched : {false, true})
    {
        Example example(batched);
        const std::vector<float> weights = example.loggedWeights();
        for (const float cutoff : {0.0f, 0.3f, 0.65f})
        {
            example.explorer->setCutoff(cutoff);
            for (const int key : {'1', '2', '3', '0'})
            {
                const int kind = key - '0';
                EXPECT_TRUE(example.explorer->handle(*keyEvent(key), *example.view));
                std::size_t expected = 0;
                for (std::size_t link = 0; link < example.log.size(); ++link)
                {
                    // "Creating link between A and B with weight w"
                    std::istringstream words(example.log[link]);
                    std::string a, b, skip;
                    words >> skip >> skip >> skip >> a >> skip >> b;
                    const bool touches = kind == 0 || exampleRegion(a) == kind || exampleRegion(b) == kind;
                    const bool shown = touches && !(std::fabs(weights[link]) < cutoff);
                    expected += shown ? 1 : 0;
                    const std::string what = example.log[link] + ", key " + char(key) + ", cutoff " +
                                             std::to_string(cutoff) + (batched ? ", batched" : "");
                    EXPECT_EQ(example.explorer->isShown(link), shown) << what;
                    if (!batched)
                    {
                        EXPECT_EQ(example.drawn->scene.linkGlyphs[link]->getNodeMask() != 0, shown) << what;
                    }
                }
                if (batched)
                {
                    // The shader compares the region bit with every link's regions, as it does the cutoff.
                    float bit = -1.0f;
                    ASSERT_TRUE(example.drawn->scene.linkState->getUniform("regionFilter")->get(bit));
                    EXPECT_EQ(bit, kind == 0 ? 0.0f : float(1 << (kind - 1)));
                }
                const std::string text = example.explorer->getCornerText();
                const std::string line = std::string("Links touching ") + regionNames[kind] + " sites (" +
                                         regionNames[kind] + ".txt): " + std::to_string(expected) +
                                         " of 22 shown";
                EXPECT_EQ(text.find(line) != std::string::npos, kind != 0) << text;
            }
        }
    }

    // A list that was not given: the corner says so, and the links stay as they were.
    Example example(false);
    InputFiles withoutNegative;
    withoutNegative.groupFile = std::string(LINKMAP_SOURCE_DIR) + "/examples/network.txt";
    withoutNegative.positiveFile = std::string(LINKMAP_SOURCE_DIR) + "/examples/positive.txt";
    ViewState state;
    osg::ref_ptr<Explorer> explorer =
        new Explorer(ExploredNetwork{example.network, example.drawn->layout, example.drawn->scene,
                                     withoutNegative, example.drawn->style},
                     state, example.trackball.get(), background);
    explorer->handle(*keyEvent('1'), *example.view);
    const std::string before = explorer->getCornerText();
    explorer->handle(*keyEvent('2'), *example.view);
    EXPECT_EQ(explorer->getRegionFilter(), RegionKind::Positive);
    EXPECT_NE(explorer->getCornerText().find("No negative list was given (-n)"), std::string::npos);
    explorer->handle(*keyEvent('+'), *example.view);
    EXPECT_EQ(explorer->getCornerText().find("No negative"), std::string::npos) << "until the next key";
}

TEST(Explorer, HShowsTheTableOfKeysAndHOrEscapePutsItAwayBeforeAnythingElse)
{
    Example example(true);
    osg::ref_ptr<osgViewer::Viewer> viewer = new osgViewer::Viewer;
    Explorer& explorer = *example.explorer;
    explorer.pickSite(siteNamed(example.network, "K45"));
    const std::string picked = explorer.getCornerText();
    struct Step
    {
        int key;
        bool helpAfter;
    };
    for (const Step step : {Step{'h', true}, Step{'h', false}, Step{'h', true},
                            Step{osgGA::GUIEventAdapter::KEY_Escape, false}})
    {
        EXPECT_TRUE(explorer.handle(*keyEvent(step.key), *viewer)) << step.key;
        EXPECT_EQ(explorer.showsHelp(), step.helpAfter) << step.key;
    }
    EXPECT_FALSE(viewer->done());
    EXPECT_EQ(explorer.getCornerText(), picked) << "Escape put the help away, not the pick";
    // The panel lists the table's keys.
    std::string text;
    struct FindText : osg::NodeVisitor
    {
        std::string& found;
        explicit FindText(std::string& into) : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN), found(into) {}
        void apply(osg::Geode& geode) override
        {
            for (unsigned i = 0; i < geode.getNumDrawables(); ++i)
                if (const auto* drawn = dynamic_cast<const osgText::Text*>(geode.getDrawable(i)))
                    found += drawn->getText().createUTF8EncodedString();
        }
    } finder(text);
    finder.setNodeMaskOverride(~0u);
    explorer.getHelpNode()->accept(finder);
    for (const KeyBinding& binding : keyBindings())
    {
        const bool listed = text.find("  " + binding.label + " ") != std::string::npos;
        EXPECT_EQ(listed, !binding.help.empty()) << binding.label;
    }
}

TEST(Explorer, TheFindPromptTakesEveryKeyPicksAndCentresAMatchAndEscapeClosesItBeforeItQuits)
{
    Example example(true);
    osg::ref_ptr<osgViewer::Viewer> viewer = new osgViewer::Viewer;
    // Whether the key is taken, pressed; let go, it is taken as well while the prompt stays open.
    const auto press = [&](int key) {
        const bool down = example.explorer->handle(*keyEvent(key), *viewer);
        const bool up = example.explorer->handle(*keyEvent(key, osgGA::GUIEventAdapter::KEYUP), *viewer);
        EXPECT_EQ(up, (example.explorer->getCornerText().rfind("Find:", 0) == 0)) << key;
        return down;
    };
    EXPECT_FALSE(press('s')) << "no prompt: the toolkit's keys are theirs";
    EXPECT_TRUE(press('/'));
    EXPECT_EQ(example.explorer->getCornerText(), "Find: ");
    // Every key is the prompt's, the toolkit's own included.
    for (const int key : {'m', '2', '1', ' '})
        EXPECT_TRUE(press(key));
    EXPECT_TRUE(press(osgGA::GUIEventAdapter::KEY_BackSpace));
    EXPECT_EQ(example.explorer->getCornerText(), "Find: m21  (1 site matches)");
    EXPECT_EQ(example.explorer->getCutoff(), 0.0f);

    const double distance = example.trackball->getDistance();
    EXPECT_TRUE(press(osgGA::GUIEventAdapter::KEY_Return));
    const std::size_t site = siteNamed(example.network, "M210");
    EXPECT_EQ(osg::Vec3(example.trackball->getCenter()), example.network.sitePosition(site));
    EXPECT_DOUBLE_EQ(example.trackball->getDistance(), distance);
    EXPECT_EQ(example.explorer->getCornerText().rfind("Find: m21  (1 of 1)\nM210: accelerated region", 0), 0u)
        << example.explorer->getCornerText();
    // Picked as a click picks: its links keep their colour, the others are dimmed.
    const std::vector<bool> emphasised = emphasisedLinks(
        example.state, example.network, SiteLinks(example.network.links, example.network.siteCount()));
    ASSERT_EQ(emphasised.size(), example.log.size());
    for (std::size_t link = 0; link < example.log.size(); ++link)
        EXPECT_EQ(emphasised[link], example.log[link].find(" M210 ") != std::string::npos)
            << example.log[link];

    EXPECT_TRUE(press(osgGA::GUIEventAdapter::KEY_Escape));
    EXPECT_FALSE(viewer->done()) << "Escape closes the prompt";
    EXPECT_EQ(example.explorer->getCornerText().rfind("M210: ", 0), 0u) << "the pick stays";
    EXPECT_FALSE(press('s'));

    // A click closes the prompt too.
    EXPECT_TRUE(press('/'));
    example.explorer->handle(*mouseEvent(osgGA::GUIEventAdapter::PUSH, 5.0f, 5.0f), *example.view);
    EXPECT_FALSE((example.explorer->getCornerText().rfind("Find:", 0) == 0));

    EXPECT_TRUE(press(osgGA::GUIEventAdapter::KEY_Escape));
    EXPECT_FALSE(viewer->done()) << "Escape takes back the pick first";
    EXPECT_EQ(example.explorer->getCornerText(), "");
    EXPECT_TRUE(press(osgGA::GUIEventAdapter::KEY_Escape));
    EXPECT_TRUE(viewer->done()) << "Escape quits from a clear view";
}

// Takes the paths of the explorer's search once it is over, as the frame loop does; false when it is not
// over within the tests' patience. What the paths print is left out of the test's output.
bool collectPaths(Explorer& explorer)
{
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::duration<double>(patienceSeconds);
    bool collected = false;
    captureOutput([&] {
        while (!(collected = explorer.collectPaths()) && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    });
    return collected;
}

bool cornerSays(const Explorer& explorer, const std::string& text)
{
    return explorer.getCornerText().find(text) != std::string::npos;
}

TEST(Explorer, PathsAreThoseOfTheLinksShownAndTheBracketKeysStepThroughThem)
{
    // Asked for from the start, as LINKMAP_FROM and LINKMAP_TO ask.
    Example example(true, [](ViewState& state, const CorrelationNetwork& network) {
        state.pathEnds = std::pair{static_cast<std::uint32_t>(siteNamed(network, "H12")),
                                   static_cast<std::uint32_t>(siteNamed(network, "V212"))};
    });
    Explorer& explorer = *example.explorer;
    osg::ref_ptr<osgViewer::Viewer> viewer = new osgViewer::Viewer;
    const auto press = [&](int key) { return explorer.handle(*keyEvent(key), *viewer); };
    EXPECT_TRUE(cornerSays(explorer, "Finding the paths from H12 to V212 among the links shown..."))
        << explorer.getCornerText();
    ASSERT_TRUE(collectPaths(explorer)) << "no paths within " << patienceSeconds << " s";
    EXPECT_TRUE(
        cornerSays(explorer, "Paths from H12 to V212: 10, the shortest 1.680934 long (-ln|w| summed)"))
        << explorer.getCornerText();
    EXPECT_FALSE(cornerSays(explorer, "Finding"));

    // ] and [ show one path at a time, from the shortest, stopping at either end; \ shows them all again.
    struct Step
    {
        int key;
        const char* shown;
    };
    const Step steps[] = {{']', "Path 1 of 10 "}, {']', "Path 2 of 10 "}, {'[', "Path 1 of 10 "},
                          {'[', "Path 1 of 10 "}, {'[', "Path 1 of 10 "}, {'\\', nullptr}};
    for (const Step& step : steps)
    {
        EXPECT_TRUE(press(step.key)) << char(step.key);
        EXPECT_EQ(example.state.onePath.has_value(), step.shown != nullptr) << char(step.key);
        EXPECT_EQ(cornerSays(explorer, "Path "), step.shown != nullptr) << explorer.getCornerText();
        if (step.shown != nullptr)
        {
            EXPECT_TRUE(cornerSays(explorer, step.shown)) << explorer.getCornerText();
        }
    }
    for (int step = 0; step < 12; ++step)
        press(']');
    EXPECT_TRUE(cornerSays(explorer, "Path 10 of 10 ")) << "] stops at the last path";

    // At a cutoff of 0.40 no link of H12 is shown: the paths are looked for again, and none are shown
    // meanwhile.
    explorer.setCutoff(0.4f);
    EXPECT_FALSE(example.state.paths.has_value());
    EXPECT_FALSE(example.state.onePath.has_value());
    EXPECT_TRUE(cornerSays(explorer, "Finding the paths from H12 to V212")) << explorer.getCornerText();
    EXPECT_FALSE(cornerSays(explorer, "Paths from")) << explorer.getCornerText();
    ASSERT_TRUE(collectPaths(explorer));
    EXPECT_TRUE(cornerSays(explorer, "No path joins H12 and V212 among the links shown"))
        << explorer.getCornerText();
    // A region filter asks again as well; back at 0 with every region, the paths are the first ones.
    EXPECT_TRUE(explorer.setRegionFilter(RegionKind::Positive));
    EXPECT_TRUE(cornerSays(explorer, "Finding the paths")) << explorer.getCornerText();
    explorer.setCutoff(0.0f);
    EXPECT_TRUE(explorer.setRegionFilter(RegionKind::None));
    ASSERT_TRUE(collectPaths(explorer));
    EXPECT_TRUE(cornerSays(explorer, "Paths from H12 to V212: 10, the shortest "))
        << explorer.getCornerText();
    EXPECT_FALSE(explorer.collectPaths()) << "one answer, to the last request only";

    // Escape takes back a step at a time, the paths of the run's settings as any: then it quits.
    EXPECT_TRUE(press(osgGA::GUIEventAdapter::KEY_Escape));
    EXPECT_FALSE(viewer->done());
    EXPECT_FALSE(cornerSays(explorer, "Paths from")) << explorer.getCornerText();
    for (int step = 0; step < 2 && !viewer->done(); ++step)
        press(osgGA::GUIEventAdapter::KEY_Escape);
    EXPECT_TRUE(viewer->done());
}

TEST(Explorer, TheSitesOfThePickAndOfThePathsShownKeepTheirLabelsFirstAndTheRestAreDimmed)
{
    Example example(true, [](ViewState& state, const CorrelationNetwork& network) {
        state.pathEnds = std::pair{static_cast<std::uint32_t>(siteNamed(network, "H12")),
                                   static_cast<std::uint32_t>(siteNamed(network, "V212"))};
    });
    Explorer& explorer = *example.explorer;
    const CorrelationNetwork& network = example.network;
    ASSERT_TRUE(collectPaths(explorer));
    const std::vector<SitePath>& paths = example.state.paths->paths;
    ASSERT_EQ(paths.size(), 10u);
    // The sites of the paths shown, each flagged and each favoured once, after the two ends.
    const auto sitesOf = [&paths](std::optional<std::size_t> one) {
        std::set<std::uint32_t> sites;
        for (std::size_t p = 0; p < paths.size(); ++p)
            if (!one || *one == p)
                sites.insert(paths[p].sites.begin(), paths[p].sites.end());
        return sites;
    };
    for (const std::optional<std::size_t> one : {std::optional<std::size_t>(), std::optional<std::size_t>(0)})
    {
        example.state.onePath = one;
        const std::set<std::uint32_t> expected = sitesOf(one);
        const std::vector<std::uint32_t> favoured = favouredSites(example.state, network);
        ASSERT_GE(favoured.size(), 2u);
        EXPECT_EQ(favoured[0], siteNamed(network, "H12"));
        EXPECT_EQ(favoured[1], siteNamed(network, "V212"));
        EXPECT_EQ(std::set<std::uint32_t>(favoured.begin(), favoured.end()), expected);
        EXPECT_EQ(favoured.size(), expected.size()) << "each once";
        const std::vector<bool> on = sitesOnPaths(example.state, network.siteCount());
        ASSERT_EQ(on.size(), network.siteCount());
        for (std::uint32_t site = 0; site < on.size(); ++site)
            EXPECT_EQ(on[site], expected.count(site) == 1) << network.names[site];
    }

    // Without paths, nothing is dimmed, and the pick, a site or a link's two ends, is favoured.
    explorer.runCommand(ViewCommand(Command::Back));
    EXPECT_TRUE(sitesOnPaths(example.state, network.siteCount()).empty());
    explorer.pickSite(siteNamed(network, "M210"));
    EXPECT_EQ(favouredSites(example.state, network),
              (std::vector<std::uint32_t>{static_cast<std::uint32_t>(siteNamed(network, "M210"))}));
    example.state.pick = Pick{Pick::Kind::Link, 0};
    EXPECT_EQ(favouredSites(example.state, network),
              (std::vector<std::uint32_t>{network.links[0].first, network.links[0].second}));
    example.state.pick = Pick();
    EXPECT_TRUE(favouredSites(example.state, network).empty());
}

TEST(Explorer, EscapeTakesBackThePathsThenThePickThenQuits)
{
    Example example(true);
    Explorer& explorer = *example.explorer;
    osg::ref_ptr<osgViewer::Viewer> viewer = new osgViewer::Viewer;
    explorer.pickSite(siteNamed(example.network, "H12"));
    const std::string picked = explorer.getCornerText();
    explorer.findPathsTo(siteNamed(example.network, "V212"));
    EXPECT_TRUE(cornerSays(explorer, "Finding the paths from H12 to V212")) << explorer.getCornerText();
    // Put away while the search runs: its paths never come.
    EXPECT_TRUE(explorer.handle(*keyEvent(osgGA::GUIEventAdapter::KEY_Escape), *viewer));
    EXPECT_FALSE(viewer->done());
    EXPECT_EQ(explorer.getCornerText(), picked);
    EXPECT_FALSE(example.state.paths.has_value());
    EXPECT_FALSE(explorer.collectPaths());

    // Found, then put away: the pick shows as it was.
    explorer.findPathsTo(siteNamed(example.network, "V212"));
    ASSERT_TRUE(collectPaths(explorer));
    EXPECT_TRUE(example.state.paths.has_value());
    EXPECT_TRUE(explorer.handle(*keyEvent(osgGA::GUIEventAdapter::KEY_Escape), *viewer));
    EXPECT_FALSE(viewer->done());
    EXPECT_TRUE(pathLinkCounts(example.state, example.network.linkCount()).empty());
    EXPECT_EQ(explorer.getCornerText(), picked);
    // A step at a time: the pick, then out.
    EXPECT_TRUE(explorer.handle(*keyEvent(osgGA::GUIEventAdapter::KEY_Escape), *viewer));
    EXPECT_FALSE(viewer->done());
    EXPECT_EQ(explorer.getCornerText(), "");
    EXPECT_TRUE(explorer.handle(*keyEvent(osgGA::GUIEventAdapter::KEY_Escape), *viewer));
    EXPECT_TRUE(viewer->done()) << "from a clear view, Escape quits";
}

} // namespace

namespace
{

TEST(Explorer, GShowsTheNetworkOfCommunitiesOverTheSitesFadedAndPutsItAway)
{
    // Two triangles joined by one weak link: two communities of three.
    CorrelationNetwork network;
    readGroups(network, "A1 B2 C3 0.9 0.8 0.7\nD4 E5 F6 0.9 0.8 0.7\nC3 D4 0.3\n");
    network.communities = {0, 0, 0, 1, 1, 1};
    for (const bool figure : {true, false})
    {
        SCOPED_TRACE(figure ? "figure" : "plain");
        SiteLayout layout = layoutRingGrid(network);
        layout.figure = figure;
        LabelStyle style;
        style.font = readLabelFont();
        const NetworkScene scene = buildNetworkScene(network, layout, style, RenderPath::OneGlyphPerElement);
        const InputFiles files;
        ViewState state;
        osg::ref_ptr<osgGA::TrackballManipulator> trackball = new osgGA::TrackballManipulator;
        osg::ref_ptr<Explorer> explorer = new Explorer(ExploredNetwork{network, layout, scene, files, style},
                                                       state, trackball.get(), background);
        osg::ref_ptr<osgViewer::Viewer> viewer = new osgViewer::Viewer;
        auto* shown = explorer->getCommunityNode()->asGroup();
        ASSERT_NE(shown, nullptr);
        const std::vector<osg::Vec4> before = sphereColoursUnder(*scene.root);

        EXPECT_TRUE(explorer->handle(*keyEvent('g'), *viewer));
        if (!figure)
        {
            EXPECT_FALSE(explorer->showsCommunities());
            EXPECT_EQ(shown->getNumChildren(), 0u);
            EXPECT_TRUE(cornerSays(*explorer, "over a figure (LINKMAP_STYLE=figure)"))
                << explorer->getCornerText();
            continue;
        }
        ASSERT_TRUE(explorer->showsCommunities());
        EXPECT_TRUE(
            cornerSays(*explorer, "The network of its 2 communities, over the sites faded (g hides it)"))
            << explorer->getCornerText();
        // Two spheres, one a community, the larger first, over every site's sphere dimmed, every link too.
        EXPECT_EQ(sphereColoursUnder(*shown), (std::vector<osg::Vec4>{communityColor(0), communityColor(1)}));
        const std::vector<osg::Vec4> faded = sphereColoursUnder(*scene.root);
        ASSERT_EQ(faded.size(), before.size());
        for (std::size_t i = 0; i < faded.size(); ++i)
            EXPECT_EQ(faded[i], dimmedColor(before[i], style.haloColor));
        for (const osg::ref_ptr<osg::ShapeDrawable>& link : scene.linkGlyphs)
            EXPECT_NE(link->getColor(), weightColor(0.9f, 0.0f)) << "no link in its own colour";
        EXPECT_TRUE(explorer->isShown(6)) << "the weak link is faded, not hidden";
        // The two communities are joined by the weak link; above its weight, by nothing, at once.
        const auto joins = [shown] {
            struct Counter : osg::NodeVisitor
            {
                Counter() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
                void apply(osg::Drawable& drawable) override
                {
                    if (auto* glyph = dynamic_cast<osg::ShapeDrawable*>(&drawable))
                        count += dynamic_cast<const osg::Cylinder*>(glyph->getShape()) != nullptr ? 1 : 0;
                }
                int count = 0;
            } counter;
            shown->accept(counter);
            return counter.count;
        };
        EXPECT_EQ(joins(), 1);
        explorer->setCutoff(0.35f);
        ASSERT_TRUE(explorer->showsCommunities());
        EXPECT_EQ(joins(), 0);
        explorer->setCutoff(0.0f);
        EXPECT_EQ(joins(), 1);

        // g again, or a click, puts it away and brings the sites back as they were.
        EXPECT_TRUE(explorer->handle(*keyEvent('g'), *viewer));
        EXPECT_FALSE(explorer->showsCommunities());
        EXPECT_EQ(shown->getNumChildren(), 0u);
        EXPECT_EQ(sphereColoursUnder(*scene.root), before);
        EXPECT_FALSE(cornerSays(*explorer, "communities"));
        EXPECT_TRUE(explorer->handle(*keyEvent('g'), *viewer));
        explorer->pickAt(PickRay{osg::Vec3d(1e6, 1e6, 1e6), osg::Vec3d(0, 0, 1), 1e-3});
        EXPECT_FALSE(explorer->showsCommunities());
    }
}

} // namespace
