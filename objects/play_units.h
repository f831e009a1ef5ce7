#pragma once
// The units of stage play, all derived once per stage from the stage's speed level by
// cStage::SetSpeedLevel and read here by their customary names (one source each):
//   N = g_nHitLevel (int) and g_dHitLevel (double), the sub-steps of a frame;
//   g_dHitLevel2 = N squared; g_nHitLevel6 = 6N, the sub-steps of a tenth of a second;
//   g_nHitLevel8 = 8N; g_dGravity = the stage gravity / N squared, per sub-step;
//   g_dSpeedMax = the speed limit per sub-step.
// Speeds are pixels per sub-step: a per-frame speed is divided by N, a per-frame
// acceleration by N squared.
#include <cstdint>

#include "project/stage.h"

inline const std::int32_t& g_nHitLevel = g_Stage.m_nSubSteps;
inline const double& g_dHitLevel = g_Stage.m_dSubSteps;
inline const double& g_dHitLevel2 = g_Stage.m_dSubSteps2;
inline const std::int32_t& g_nHitLevel6 = g_Stage.m_nStepsPerTenth;
inline const std::int32_t& g_nHitLevel8 = g_Stage.m_nSubSteps8;
inline const double& g_dGravity = g_Stage.m_dGravityStep;
inline const double& g_dSpeedMax = g_Stage.m_dSpeedLimitStep;

// Half-blocks (16 pixels) to pixels.
inline int HalfBlocksToPixels(std::int8_t halfBlocks) { return halfBlocks * 16; }
// A percentage per frame to an acceleration per sub-step: p x 0.01 / N squared.
inline double PercentToAccel(std::int16_t percent) { return percent * 0.01 / g_dHitLevel2; }
// A rate per second to a rate per sub-step: v / N x (1 / 60).
inline double PerFrameToPerSubStep(double v) { return v / g_dHitLevel * 0.016666666666666666; }
// The sub-steps until a rise at speed v (negative, upward) stops under gravity:
// trunc(N - v / g), x86-truncated (gravity 0 gives INT32_MIN, as the processor did).
int SubStepsToTop(double v);
