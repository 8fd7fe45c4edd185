#include "Camera.h"

#include "Matrix.h"

namespace mayahost::camera {

Node* shapeOf(const std::string& name) {
    Node* node = Scene::get().find(name);
    if (node && node->hasFn(MFn::kTransform))
        for (Node* c : node->children)
            if (c->hasFn(MFn::kCamera)) return c;
    return node && node->hasFn(MFn::kCamera) ? node : nullptr;
}

MMatrix projection(const Node* shape, int width, int height) {
    Scene& scene = Scene::get();
    auto value = [&](const char* name) { return scene.number(shape, scene.findAttr(shape, name)); };
    const double mmPerInch = 25.4;
    double apertureX = value("hfa"), apertureY = value("vfa");
    double aspect = static_cast<double>(width) / height, filmAspect = apertureX / apertureY;
    // Fill keeps the whole viewport inside the film back, Overscan the whole film back
    // inside the viewport.
    int fit = static_cast<int>(value("ff"));
    bool horizontal = fit == 1 || (fit == 0 && aspect > filmAspect) || (fit == 3 && aspect <= filmAspect);
    double n = value("ncp"), f = value("fcp");
    MMatrix p;
    if (value("o") != 0) {
        // The orthographic width spans the film back's width; its height follows the
        // film aspect.
        double span = value("ow");
        double halfX = horizontal ? span / 2 : span / filmAspect / 2 * aspect;
        double halfY = horizontal ? span / 2 / aspect : span / filmAspect / 2;
        double offsetX = value("hfo") / apertureX * span, offsetY = value("vfo") / apertureX * span;
        p.matrix[0][0] = 1 / halfX;
        p.matrix[1][1] = 1 / halfY;
        p.matrix[2][2] = -2 / (f - n);
        p.matrix[3][0] = -offsetX / halfX;
        p.matrix[3][1] = -offsetY / halfY;
        p.matrix[3][2] = -(f + n) / (f - n);
        p.matrix[3][3] = 1;
        return p;
    }
    // Half the view's extent at unit distance in front of the lens.
    double focal = value("fl");
    double halfX = horizontal ? apertureX * mmPerInch / 2 / focal : apertureY * mmPerInch / 2 / focal * aspect;
    double halfY = horizontal ? apertureX * mmPerInch / 2 / focal / aspect : apertureY * mmPerInch / 2 / focal;
    double offsetX = value("hfo") * mmPerInch / focal, offsetY = value("vfo") * mmPerInch / focal;
    p.matrix[0][0] = 1 / halfX;
    p.matrix[1][1] = 1 / halfY;
    p.matrix[2][0] = offsetX / halfX;
    p.matrix[2][1] = offsetY / halfY;
    p.matrix[2][2] = -(f + n) / (f - n);
    p.matrix[2][3] = -1;
    p.matrix[3][2] = -2 * f * n / (f - n);
    p.matrix[3][3] = 0;
    return p;
}

bool view(const std::string& camera, int width, int height, View& out) {
    Node* shape = shapeOf(camera);
    if (!shape || width <= 0 || height <= 0) return false;
    Scene& scene = Scene::get();
    out.path = scene.allPaths(shape).front();
    out.viewInverse = scene.worldMatrix(out.path);
    out.view = inverseMatrix(out.viewInverse);
    out.projection = projection(shape, width, height);
    out.orthographic = scene.number(shape, scene.findAttr(shape, "o")) != 0;
    return true;
}

} // namespace mayahost::camera
