// Variability types of the variable-star catalogue (class / subtype / suffix
// coding of the General Catalogue of Variable Stars), their code texts, the
// light-curve model a star's types choose and its predicted magnitude and
// phase for a date.
#pragma once
#include <cstddef>
#include <cstdint>

const int kVariabilityClasses = 7;
const int kMaxVariabilitySuffixes = 4;
const int kVariabilityUncertain = 256;
// Classes.
const int kVariabilityEruptive = 0, kVariabilityPulsating = 1, kVariabilityRotating = 2,
          kVariabilityCataclysmic = 3, kVariabilityEclipsing = 4, kVariabilityXray = 5,
          kVariabilityMisc = 6;
// Subtypes and suffixes the model choice looks at.
const int kEruptiveRcb = 3;        // class 0 "RCB"
const int kCataclysmicSupernova = 2;  // class 3 "SN"
const int kSupernovaSuffixTypeI = 6;  // class 3 suffix "I"
const int kEclipsingAlgol = 0;     // class 4 "E"
const int kEclipsingSuffixA = 0, kEclipsingSuffixB = 1, kEclipsingSuffixW = 2;

// Light-curve models.
const int kModelMean = 0, kModelBright = 1, kModelFaint = 2, kModelEclipsing = 3,
          kModelPulsating = 4, kModelNova = 5, kModelSupernovaI = 6;

// Magnitudes at or above this are "none" (99.9).
const double kVariableNoMagnitude = 99.9;
// Capacity of the text FormatVariabilityTypes writes.
const int kVariabilityTypesTextSize = 200;

#pragma pack(push, 1)
struct VariabilityType {
    int32_t typeClass;   // 0-6
    int32_t subtype;
    int32_t uncertain;   // 0 or kVariabilityUncertain
    int32_t suffixes[kMaxVariabilitySuffixes];
    int32_t suffixCount;
};
#pragma pack(pop)
static_assert(sizeof(VariabilityType) == 32, "VariabilityType is 32 bytes");

// The code of a class and subtype ("EA" is "E" plus suffix "A"); "" when the
// table has none.
const char *GetVariabilityTypeCode(int typeClass, int subtype);
// The code of suffix s of a class; "" when none.
const char *GetVariabilitySuffixCode(int typeClass, int suffix);
// Codes of the types joined by "+", each with its suffixes and ":" when
// uncertain ("EA+DSCT:"), into text (kVariabilityTypesTextSize bytes). The
// count of types written.
int FormatVariabilityTypes(const VariabilityType *types, int count, char *text);

// Model 0-6 for a star's types, limits (magnitudes, 99.9 none), epoch
// (Julian date, 0 or below none; a supernova's table date may replace it)
// and period (days). width (may be null) and depth receive the eclipse's
// defaults for model 3.
int ChooseLightCurveModel(int key, const VariabilityType *types, int count, double *epoch,
                          double period, double faintLimit, double brightLimit, double *width,
                          double *depth);
// Phase in [0, 1) of time t (Julian date); -1.0 when there is no epoch
// (0 or below), no period (0 or below) or no time.
double VariablePhase(double epoch, double period, double t);
// Predicted magnitude at time t by model; *phase = the phase for models 3
// and 4, else -1.0. 99.9 for a model outside 0-6.
double PredictVariableMagnitude(double epoch, double period, double t, double width,
                                double depth, double faintLimit, double brightLimit, int model,
                                double *phase);
