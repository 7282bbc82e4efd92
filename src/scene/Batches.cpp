#include <scene/Batches.h>

#include <osg/BufferObject>
#include <osg/Shader>

namespace
{

// A bounding box fixed in advance: that of a batch of link instances, whose vertices are only the corners of
// one link in its own terms.
class FixedBox : public osg::Drawable::ComputeBoundingBoxCallback
{
public:
    explicit FixedBox(const osg::BoundingBox& fixed) : box(fixed) {}

    osg::BoundingBox computeBound(const osg::Drawable&) const override
    {
        return box;
    }

private:
    osg::BoundingBox box;
};

} // namespace

osg::ref_ptr<osg::Program> createProgram(const char* name, const std::string& vertex,
                                         const std::string& fragment,
                                         const std::vector<const char*>& attributes,
                                         const std::string& defines)
{
    const std::string header = "#version 120\n" + defines;
    osg::ref_ptr<osg::Program> program = new osg::Program;
    program->setName(name);
    program->addShader(new osg::Shader(osg::Shader::VERTEX, header + vertex));
    if (!fragment.empty())
        program->addShader(new osg::Shader(osg::Shader::FRAGMENT, header + fragment));
    for (std::size_t i = 0; i < attributes.size(); ++i)
        program->addBindAttribLocation(attributes[i], instanceAttribute + static_cast<unsigned int>(i));
    return program;
}

void useOwnBuffer(osg::Array* array)
{
    if (array->getBufferObject() == nullptr)
        array->setBufferObject(new osg::VertexBufferObject);
}

osg::ref_ptr<osg::Geometry> createInstances(osg::Array* corners, const std::vector<osg::Array*>& instances,
                                            osg::PrimitiveSet* primitives, const osg::BoundingBox& box,
                                            float margin)
{
    // The corners, which many geometries share, have a buffer of their own, and so have the instances of each
    // geometry: left to itself, a geometry would put its arrays in the buffer of the first of them that has
    // one, and every batch's arrays would end in the corners' buffer, whose list of arrays grows with each
    // and is searched whenever one is freed.
    useOwnBuffer(corners);
    osg::ref_ptr<osg::VertexBufferObject> buffer = new osg::VertexBufferObject;
    for (osg::Array* array : instances)
        array->setBufferObject(buffer.get());
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(true);
    geometry->setVertexArray(corners);
    for (std::size_t i = 0; i < instances.size(); ++i)
        geometry->setVertexAttribArray(instanceAttribute + static_cast<unsigned int>(i), instances[i],
                                       osg::Array::BIND_PER_VERTEX);
    geometry->addPrimitiveSet(primitives);
    const osg::Vec3 reach(margin, margin, margin);
    geometry->setComputeBoundingBoxCallback(
        new FixedBox(osg::BoundingBox(box._min - reach, box._max + reach)));
    return geometry;
}
