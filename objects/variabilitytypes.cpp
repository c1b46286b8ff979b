// Variability type codes and the light-curve models: eclipses shaped by a
// sine of the eclipse phase, pulsations by a rise and a fall of sines, novae
// and supernovae by linear declines in magnitude from the outburst.
#include "objects/variabilitytypes.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/mathutil.h"

namespace {
const char kTypeCodes[kVariabilityClasses][17][9] = {
    {"FU", "GCAS", "I", "RCB", "RS", "SDOR", "UV", "WR", "BE"},
    {"ACYG", "BCEP", "BLBOO", "CEP", "CW", "DCEP", "DSCT", "GDOR", "L", "M", "PVTEL", "RPHS",
     "RR", "RV", "SR", "SXPHE", "ZZ"},
    {"ACV", "BY", "ELL", "FKCOM", "PSR", "SXARI"},
    {"AM", "N", "SN", "UG", "ZAND"},
    {"E", "GS", "PN", "WD", "AR", "D", "K", "SD", "R"},
    {"X"},
    {"BLLAC", "CST", "GAL", "L:", "QSO", "S:", "*"}};

const char kSuffixCodes[kVariabilityClasses][11][9] = {
    {"NA", "NB", "N", "SA", "SB", "S", "A", "B", "T", "(YY)", "UVN"},
    {"S", "(B)", "AB", "A", "BV", "PB", "C", "D", "B", "O"},
    {"O"},
    {"A", "B", "C", "L", "R", "II", "I", "SS", "SU", "Z"},
    {"A", "B", "W", "M", "S", "E", "P"},
    {"ND", "NG", "N", "B", "F", "I", "J", "P", "R", "M"},
    {}};

// Supernova outbursts by the key the caller passes (Julian dates).
const struct {
    int key;
    double julianDate;
} kSupernovaEpochs[] = {{2, 2409770.75},     {7297, 2295540.79167}, {7306, 2413381.75},
                        {21329, 2307190.75}, {35130, 2106269.75},   {37123, 2418332.79167},
                        {37849, 2413268.79167}};

bool Valid(double magnitude) { return magnitude < 90.0; }

// Magnitude between the bright limit b (weight 0) and the faint limit f (weight 1).
double Between(double b, double f, double weight) { return b + (f - b) * weight; }

double EclipseWeight(double x) { return 1.0 - std::sin(x * kPi / 2.0); }
}  // namespace

const char *GetVariabilityTypeCode(int typeClass, int subtype) {
    if (typeClass < 0 || typeClass >= kVariabilityClasses || subtype < 0 || subtype >= 17) return "";
    return kTypeCodes[typeClass][subtype];
}

const char *GetVariabilitySuffixCode(int typeClass, int suffix) {
    if (typeClass < 0 || typeClass >= kVariabilityClasses || suffix < 0 || suffix >= 11) return "";
    return kSuffixCodes[typeClass][suffix];
}

int FormatVariabilityTypes(const VariabilityType *types, int count, char *text) {
    if (!text) return 0;
    text[0] = '\0';
    if (!types || count <= 0) return 0;
    size_t used = 0;
    auto append = [&](const char *part) {
        const int n = std::snprintf(text + used, kVariabilityTypesTextSize - used, "%s", part);
        if (n > 0) used += (size_t)n;
        if (used >= (size_t)kVariabilityTypesTextSize) used = kVariabilityTypesTextSize - 1;
    };
    for (int i = 0; i < count; ++i) {
        const VariabilityType &t = types[i];
        if (i > 0) append("+");
        append(GetVariabilityTypeCode(t.typeClass, t.subtype));
        const int suffixes = t.suffixCount < 0 ? 0
                             : t.suffixCount > kMaxVariabilitySuffixes ? kMaxVariabilitySuffixes
                                                                       : t.suffixCount;
        for (int s = 0; s < suffixes; ++s) append(GetVariabilitySuffixCode(t.typeClass, t.suffixes[s]));
        if (t.uncertain) append(":");
    }
    return count;
}

int ChooseLightCurveModel(int key, const VariabilityType *types, int count, double *epoch,
                          double period, double faintLimit, double brightLimit, double *width,
                          double *depth) {
    if (!types || count <= 0) return kModelMean;
    const double e = epoch ? *epoch : 0.0;
    const bool limits = Valid(faintLimit) && Valid(brightLimit);
    const bool timed = e > 0.0 && period > 0.0;
    for (int i = 0; i < count; ++i) {
        const VariabilityType &t = types[i];
        if (t.typeClass == kVariabilityEclipsing && t.subtype == kEclipsingAlgol && timed && limits) {
            double w = 0.2, d = 0.15;
            const int first = t.suffixCount > 0 ? t.suffixes[0] : -1;
            if (first == kEclipsingSuffixA) { w = 0.15; d = 0.1; }
            else if (first == kEclipsingSuffixB) { w = 0.5; d = 0.5; }
            else if (first == kEclipsingSuffixW) { w = 0.5; d = 1.0; }
            if (width && *width == 0.0) *width = w;
            if (depth) *depth = d;
            return kModelEclipsing;
        }
        if (timed && limits) return kModelPulsating;
        if (t.typeClass == kVariabilityCataclysmic && t.subtype == kCataclysmicSupernova) {
            int model = kModelNova;
            if (width) {
                for (const auto &sn : kSupernovaEpochs) {
                    if (sn.key != key) continue;
                    if (epoch) *epoch = sn.julianDate;
                    if (t.suffixCount > 0 && t.suffixes[0] == kSupernovaSuffixTypeI)
                        model = kModelSupernovaI;
                    break;
                }
            }
            return model;
        }
    }
    for (int i = 0; i < count; ++i)
        if (types[i].typeClass == kVariabilityEruptive && types[i].subtype == kEruptiveRcb)
            return kModelBright;
    for (int i = 0; i < count; ++i)
        if (types[i].typeClass == kVariabilityEruptive || types[i].typeClass == kVariabilityCataclysmic)
            return kModelFaint;
    return kModelMean;
}

double VariablePhase(double epoch, double period, double t) {
    if (!(epoch > 0.0) || !(period > 0.0) || t == 0.0 || !std::isfinite(t)) return -1.0;
    const double cycles = (t - epoch) / period;
    double p = cycles - std::trunc(cycles);
    if (p < 0.0) p += 1.0;
    if (p >= 1.0) p = 0.0;
    return p;
}

double PredictVariableMagnitude(double epoch, double period, double t, double width,
                                double depth, double f, double b, int model, double *phase) {
    if (phase) *phase = -1.0;
    switch (model) {
    case kModelMean:
        if (Valid(f) && Valid(b)) return (f + b) / 2.0;
        return Valid(f) ? f : b;
    case kModelBright:
        return Valid(b) ? b : f;
    case kModelFaint:
        return Valid(f) ? f : b;
    case kModelEclipsing: {
        const double p = VariablePhase(epoch, period, t);
        if (phase) *phase = p;
        if (p < 0.0) return kVariableNoMagnitude;
        const double h = width / 2.0;
        if (h > 0.0) {
            if (p < h) return Between(b, f, EclipseWeight(p / h));
            if (p >= 1.0 - h) return Between(b, f, EclipseWeight((1.0 - p) / h));
            if (depth > 0.0 && p > 0.5 - h && p < 0.5 + h) {
                const double x = std::fabs((p - (0.5 - h)) / h - 1.0);
                return b + (f - b) * EclipseWeight(x) * depth;
            }
        }
        return b;
    }
    case kModelPulsating: {
        const double p = VariablePhase(epoch, period, t);
        if (phase) *phase = p;
        if (p < 0.0) return kVariableNoMagnitude;
        // The rise takes the fraction r of the cycle; a width outside (0, 1)
        // would leave no fall (division by 2 - 2r = 0) or no rise.
        const double r = width > 0.0 && width < 1.0 ? width : 0.5;
        const double g = p <= 1.0 - r ? std::sin(p / (2.0 - 2.0 * r) * kPi)
                                      : std::sin(((p - (1.0 - r)) / (2.0 * r) + 0.5) * kPi);
        return Between(b, f, g);
    }
    case kModelNova:
    case kModelSupernovaI: {
        const bool typeI = model == kModelSupernovaI;
        const double q = Valid(f) ? f : b + 12.0;
        if (!(epoch > 0.0)) return q;
        if (t < epoch - (typeI ? 50.0 : 20.0) || t > epoch + 800.0) return q;
        const double dt = t - epoch;
        double m;
        if (dt < 0.0) m = b + (typeI ? 0.2 : 0.5) * std::fabs(dt);
        else if (!typeI) m = dt < 40.0 ? b + 0.1 * dt : b + 4.0 + 0.014 * (dt - 40.0);
        else m = dt < 100.0 ? b + 0.05 * dt : b + 5.0 + 0.01 * (dt - 100.0);
        // The decline ends at the quiescent magnitude; the star never fades below it.
        return m > q ? q : m;
    }
    default:
        return kVariableNoMagnitude;
    }
}
