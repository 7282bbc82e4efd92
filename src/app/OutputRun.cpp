#include <app/FigurePage.h>
#include <app/OutputRun.h>
#include <app/WindowRun.h>

void makeOutput(osg::ArgumentParser& arguments, const RunInput& input)
{
    switch (input.output.kind)
    {
    case OutputKind::Window:
    case OutputKind::RasterImage:
        showInWindow(arguments, input, setStage(input));
        break;
    case OutputKind::VectorFigure:
        writeFigure(input, setStage(input));
        break;
    case OutputKind::WebPage:
        writePage(input, setStage(input));
        break;
    case OutputKind::SceneFile:
        writeScene(input, setStage(input));
        break;
    case OutputKind::PymolScript:
        writePymolScript(input, setStage(input));
        break;
    case OutputKind::NetworkFile:
        writeNetworkFile(input.output, input.network, input.layout, input.view);
        break;
    case OutputKind::MeasuredStructure:
        writeMeasuredStructure(input.output, input.network, input.layout, *input.settings.structure);
        break;
    }
}
