#include "gfx/fixed_matrix.h"

#include <cmath>
#include <numbers>

namespace fenwhit {

void FixedMatrix::Translate(float x, float y, float z) {
  for (int row = 0; row < 3; ++row) {
    m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
  }
}

void FixedMatrix::RotateZ(float degrees) {
  if (degrees == 0.0f) return;  // a turn by nothing multiplies by exact ones and zeros
  // The angle goes to radians in double and to the sine in single precision, as in Mesa.
  const double radians = degrees * std::numbers::pi / 180.0;
  const float s = std::sin(static_cast<float>(radians));
  const float c = std::cos(static_cast<float>(radians));
  FixedMatrix turn;
  turn.m[0] = c;
  turn.m[1] = s;
  turn.m[4] = -s;
  turn.m[5] = c;
  *this = Multiply(*this, turn);
}

void FixedMatrix::Scale(float x, float y, float z) {
  for (int row = 0; row < 3; ++row) {
    m[row] *= x;
    m[4 + row] *= y;
    m[8 + row] *= z;
  }
}

FixedMatrix OrthoMatrix(double left, double right, double bottom, double top, double zNear,
                        double zFar) {
  // OpenGL takes the bounds in double and works in single precision.
  const float l = static_cast<float>(left);
  const float r = static_cast<float>(right);
  const float b = static_cast<float>(bottom);
  const float t = static_cast<float>(top);
  const float n = static_cast<float>(zNear);
  const float f = static_cast<float>(zFar);
  FixedMatrix ortho;
  ortho.m[0] = 2.0f / (r - l);
  ortho.m[5] = 2.0f / (t - b);
  ortho.m[10] = -2.0f / (f - n);
  ortho.m[12] = -(r + l) / (r - l);
  ortho.m[13] = -(t + b) / (t - b);
  ortho.m[14] = -(f + n) / (f - n);
  return ortho;
}

FixedMatrix Multiply(const FixedMatrix& a, const FixedMatrix& b) {
  // Both bottom rows are 0 0 0 1: the fourth term only counts in the last column.
  FixedMatrix p;
  for (int row = 0; row < 3; ++row) {
    const float a0 = a.m[row];
    const float a1 = a.m[4 + row];
    const float a2 = a.m[8 + row];
    const float a3 = a.m[12 + row];
    for (int col = 0; col < 3; ++col) {
      const float* bc = &b.m[4 * col];
      p.m[4 * col + row] = a0 * bc[0] + a1 * bc[1] + a2 * bc[2];
    }
    p.m[12 + row] = a0 * b.m[12] + a1 * b.m[13] + a2 * b.m[14] + a3;
  }
  return p;
}

}  // namespace fenwhit
