#pragma once
// Effect records of the project database: effect animations (Effect.dat), character
// effects (CharaEffect.dat) and screen effects (ScrEffect.dat).
#include <cstdint>
#include <string>

#include "foundation/containers.h"
#include "foundation/file_data.h"

class cDbEffectFrame : public cFileData {
 public:
  cDbEffectFrame();

  std::int32_t m_nCell = 0;  // cell in the effect's bitmap
  std::int32_t m_nTime = 1;  // tenths of a second

  void SetupItems(int version) override;
};

class cDbEffect : public cFileData {
 public:
  cDbEffect();

  std::string m_strName;
  std::int32_t m_nExtra = 0;  // kept with the record, not used by the player
  std::string m_strFile;      // bitmap holding the cells
  std::int32_t m_nCellWidth = 32;
  std::int32_t m_nCellHeight = 32;
  std::int32_t m_bScalable = 0;  // an instance started above scale 1 is enlarged
  cVector<cDbEffectFrame> m_Frames;

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;
  void Write(cDataFile& file) override;
  // Every field to its default and exactly one default frame.
  void SetDefault();
};

enum eCharaEffectKind : int {
  CHARA_EFFECT_NONE = 0,
  CHARA_EFFECT_BURST = 1,         // "破裂"
  CHARA_EFFECT_SPLIT_H = 2,       // "分割（横）"
  CHARA_EFFECT_SPLIT_V = 3,       // "分割（縦）"
  CHARA_EFFECT_WAVE_H = 4,        // "波（横）"
  CHARA_EFFECT_WAVE_V = 5,        // "波（縦）"
  CHARA_EFFECT_BLINK = 6,         // "点滅"
  CHARA_EFFECT_ROTATE_A = 7,      // "回転A"
  CHARA_EFFECT_ROTATE_B = 8,      // "回転B"
  CHARA_EFFECT_ROTATE_DEPTH = 9,  // "回転（奥）"
  CHARA_EFFECT_CIRCLE = 10,       // "円"
  CHARA_EFFECT_ZOOM = 11,         // "拡大"
  CHARA_EFFECT_LENS = 12,         // "レンズ"
  CHARA_EFFECT_COLOUR = 13,       // "色変化"
  CHARA_EFFECT_TRANSLUCENT = 14,  // "半透明"
  CHARA_EFFECT_MOSAIC = 15,       // "モザイク"
  CHARA_EFFECT_BLUR = 16,         // "ぼかし"
};

enum eScrEffectKind : int {
  SCR_EFFECT_NONE = 0,
  SCR_EFFECT_MOVE = 1,     // "移動"
  SCR_EFFECT_SHAKE_H = 2,  // "振動（横）"
  SCR_EFFECT_SHAKE_V = 3,  // "振動（縦）"
  SCR_EFFECT_SPLIT_H = 4,  // "分割（横）"
  SCR_EFFECT_SPLIT_V = 5,  // "分割（縦）"
  SCR_EFFECT_WAVE_H = 6,   // "波（横）"
  SCR_EFFECT_WAVE_V = 7,   // "波（縦）"
  SCR_EFFECT_BLINK = 8,    // "点滅"
  SCR_EFFECT_ROTATE = 9,   // "回転"
  SCR_EFFECT_CIRCLE = 10,  // "円"
  SCR_EFFECT_ZOOM = 11,    // "拡大"
  SCR_EFFECT_LENS = 12,    // "レンズ"
  SCR_EFFECT_MOSAIC = 13,  // "モザイク"
};

// A character effect; the screen effect has the same fields and differs in its kinds.
class cDbCharaEffect : public cFileData {
 public:
  cDbCharaEffect();

  std::string m_strName;
  std::int32_t m_nKind = 1;
  std::int32_t m_nParam[5] = {0, 0, 0, 0, 0};  // parameter 1 is the run time in tenths

  void SetupItems(int version) override;
  void Read(cDataFile& file) override;

 protected:
  // The kinds this class has handlers for (0 = none up to kinds - 1) and the defaults of
  // their parameters.
  virtual int KindCount() const;
  virtual void UpgradeParams(int version);
};

class cDbScrEffect : public cDbCharaEffect {
 protected:
  int KindCount() const override;
  void UpgradeParams(int version) override;
};
