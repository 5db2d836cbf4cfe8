#pragma once
// The fixed-function matrix stack's arithmetic on the processor. Mesa keeps its matrices in
// single precision and composes them term by term; doing the same, operation for operation,
// gives the batched renderer vertex positions equal to the bit to the ones the immediate
// renderer gets from OpenGL, so both rasterise alike.
#include <cstdint>

namespace fenwhit {

// An affine 4 x 4 matrix, column-major like OpenGL's; the bottom row stays 0 0 0 1.
struct FixedMatrix {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  // Each multiplies on the right, like glTranslatef, glRotatef about z, glScalef.
  void Translate(float x, float y, float z);
  void RotateZ(float degrees);
  void Scale(float x, float y, float z);
};

// glOrtho on an identity matrix.
FixedMatrix OrthoMatrix(double left, double right, double bottom, double top, double zNear,
                        double zFar);
// a x b, summed in the order OpenGL sums it.
FixedMatrix Multiply(const FixedMatrix& a, const FixedMatrix& b);

struct ClipPosition {
  float x, y, z;  // w is always 1
};

// Where the vertex stage puts (x, y, 0, 1) under projection x model-view `mvp`.
inline ClipPosition Transform(const FixedMatrix& mvp, float x, float y) {
  const float* m = mvp.m;
  return {m[0] * x + m[4] * y + m[12], m[1] * x + m[5] * y + m[13], m[2] * x + m[6] * y + m[14]};
}

}  // namespace fenwhit
