#pragma once
// Whether the pixel loops take their 256-bit vector paths: on machines that have them, unless
// a test asked for the narrower paths (which must give the same pixels).
//
// A wide path clears the upper halves of the vector registers (vzeroupper) before it leaves
// or hands work to code compiled for the narrower vectors: without that every later 128-bit
// instruction pays for the mixed register state, and the copy runs ten times slower.

bool WideVectorsOn();

// Tests: the narrower paths while the scope lasts.
class cNarrowVectorsScope {
 public:
  cNarrowVectorsScope();
  ~cNarrowVectorsScope();
  cNarrowVectorsScope(const cNarrowVectorsScope&) = delete;
  cNarrowVectorsScope& operator=(const cNarrowVectorsScope&) = delete;

 private:
  bool m_bWas;
};
