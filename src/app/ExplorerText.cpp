#include <app/Explorer.h>

std::string Explorer::getCornerText() const
{
    return corner.text->getText().createUTF8EncodedString();
}

void Explorer::setNotice(const std::string& text)
{
    notice = text;
    updateText();
}

void Explorer::updateText()
{
    std::string saying = message;
    if (const std::optional<PathRequest>& asked = pathFinder.pending())
        saying += (saying.empty() ? "" : "\n") + std::string("Finding the paths from ") +
                  network.names[asked->ends.first] + " to " + network.names[asked->ends.second] +
                  " among the links shown...";
    if (showsCommunities())
        saying += (saying.empty() ? "" : "\n") + std::string("The network of its ") +
                  std::to_string(community->network.siteCount()) +
                  " communities, over the sites faded (g hides it)";
    const CornerNotes notes{finder.isOpen() ? finder.promptLine() : std::string(), saying, notice};
    const std::string text = describeView(view, DescribedNetwork{network, layout, files, siteLinks},
                                          highlight.shownCount(), notes);
    corner.text->setText(text, osgText::String::ENCODING_UTF8);
    // Without text, the corner's camera is left out of the frame altogether.
    corner.node->setNodeMask(text.empty() ? 0u : ~0u);
    // What the corner speaks of keeps its labels.
    if (labels.valid())
        labels->favour(favouredSites(view, network));
}
