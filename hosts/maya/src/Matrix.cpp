#include "Matrix.h"

#include <cmath>

namespace mayahost {

MMatrix inverseMatrix(const MMatrix& m) {
    // Gauss-Jordan elimination with partial pivoting.
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = m.matrix[r][c];
            a[r][c + 4] = r == c ? 1 : 0;
        }
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        if (std::fabs(a[pivot][c]) < 1e-300) return MMatrix();
        if (pivot != c)
            for (int k = 0; k < 8; ++k) std::swap(a[c][k], a[pivot][k]);
        double d = a[c][c];
        for (int k = 0; k < 8; ++k) a[c][k] /= d;
        for (int r = 0; r < 4; ++r) {
            if (r == c || a[r][c] == 0) continue;
            double f = a[r][c];
            for (int k = 0; k < 8; ++k) a[r][k] -= f * a[c][k];
        }
    }
    MMatrix out;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.matrix[r][c] = a[r][c + 4];
    return out;
}

void decomposeMatrix(const MMatrix& m, double translate[3], double rotate[3], double scale[3]) {
    double rows[3][3];
    for (int i = 0; i < 3; ++i) {
        translate[i] = m.matrix[3][i];
        scale[i] = std::sqrt(m.matrix[i][0] * m.matrix[i][0] + m.matrix[i][1] * m.matrix[i][1] +
                             m.matrix[i][2] * m.matrix[i][2]);
        for (int j = 0; j < 3; ++j) rows[i][j] = scale[i] > 0 ? m.matrix[i][j] / scale[i] : (i == j ? 1 : 0);
    }
    // A mirrored matrix is taken as a negative X scale.
    double det = rows[0][0] * (rows[1][1] * rows[2][2] - rows[1][2] * rows[2][1]) -
                 rows[0][1] * (rows[1][0] * rows[2][2] - rows[1][2] * rows[2][0]) +
                 rows[0][2] * (rows[1][0] * rows[2][1] - rows[1][1] * rows[2][0]);
    if (det < 0) {
        scale[0] = -scale[0];
        for (double& v : rows[0]) v = -v;
    }
    // rows = Rx * Ry * Rz (row vectors): row 0 is (cy cz, cy sz, -sy).
    double sy = -rows[0][2];
    sy = sy > 1 ? 1 : (sy < -1 ? -1 : sy);
    rotate[1] = std::asin(sy);
    if (std::fabs(sy) < 1 - 1e-12) {
        rotate[0] = std::atan2(rows[1][2], rows[2][2]);
        rotate[2] = std::atan2(rows[0][1], rows[0][0]);
    } else {
        rotate[0] = std::atan2(-rows[2][1], rows[1][1]);
        rotate[2] = 0;
    }
}

void transformPoint(const MMatrix& m, const double in[3], double out[3]) {
    double r[3];
    for (int c = 0; c < 3; ++c) r[c] = in[0] * m.matrix[0][c] + in[1] * m.matrix[1][c] + in[2] * m.matrix[2][c] + m.matrix[3][c];
    for (int c = 0; c < 3; ++c) out[c] = r[c];
}

void transformVector(const MMatrix& m, const double in[3], double out[3]) {
    double r[3];
    for (int c = 0; c < 3; ++c) r[c] = in[0] * m.matrix[0][c] + in[1] * m.matrix[1][c] + in[2] * m.matrix[2][c];
    for (int c = 0; c < 3; ++c) out[c] = r[c];
}

} // namespace mayahost
