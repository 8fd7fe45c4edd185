#pragma once
#include <maya/MStatus.h>
#include <maya/MTypes.h>

#define MMatrix_kTol 1.0e-10

OPENMAYA_MAJOR_NAMESPACE_OPEN

// 4x4 double matrix, row-vector convention (translation in row 3).
class OPENMAYA_EXPORT MMatrix {
public:
    MMatrix();
    MMatrix(const MMatrix& src) = default;
    MMatrix(const double m[4][4]);
    ~MMatrix() = default;
    MMatrix& operator=(const MMatrix&) = default;
    double operator()(unsigned int row, unsigned int col) const { return matrix[row][col]; }
    const double* operator[](unsigned int row) const { return matrix[row]; }
    MMatrix transpose() const;
    MMatrix& setToIdentity();
    MMatrix& operator*=(const MMatrix& right) { return *this = *this * right; }
    MMatrix operator*(const MMatrix& right) const;
    bool operator==(const MMatrix& other) const;
    bool operator!=(const MMatrix& other) const { return !(*this == other); }
    bool isEquivalent(const MMatrix& other, double tolerance = MMatrix_kTol) const;
    static const MMatrix identity;
    double matrix[4][4];

    double& operator()(unsigned int row, unsigned int col) { return matrix[row][col]; }
    double* operator[](unsigned int row) { return matrix[row]; }
};

OPENMAYA_NAMESPACE_CLOSE
