// Closed astrophysical formulas: galaxy distances from redshift or velocity,
// surface brightness of extended objects, B-V colour index from a spectral
// type, combined magnitudes and the covered part of one disk by another.
// Stateless; all take and return doubles.
#pragma once

// Value returned by ColorIndexFromSpectralType when the type cannot be read.
// Callers test for it before any arithmetic.
const double kNoColorIndex = 2147483647.0;
// A magnitude of 99.9 means "none"; magnitudes above 90 are treated as none.
const double kNoMagnitude = 99.9;

// ---- distances -----------------------------------------------------------------
// Redshift z = v / c with c = 300000 km/s.
double RedshiftFromVelocity(double velocity);
// Distance (Mpc-scale units of the suite) = v x 0.045915492957746475.
double DistanceFromVelocity(double velocity);
// Relativistic Doppler distance: 13774.647887323943 ((1+z)^2 - 1) / ((1+z)^2 + 1).
// Returns 0 for z <= -1 (no physical redshift).
double DistanceFromRedshift(double z);
// Mattig's relation with deceleration q = 0.1. Returns 0 for z <= -1.
double DistanceFromRedshiftByDeceleration(double z);
// Light-travel distance in billions of light years for a flat model with
// matter density 0.135 and Hubble time 13.765 Gyr. 0 at z = 0; 0 for z <= -1.
double LightTravelDistanceFromRedshift(double z);

// ---- surface brightness (mag/arcsec^2 unless stated) -------------------------------
// Mean surface brightness of an ellipse of diameters a, b (arcmin) and
// integrated magnitude m: m + 2.5 log10(900 pi a b). A missing size (a b <= 0)
// or a missing magnitude (> 90) gives kNoMagnitude.
double SurfaceBrightnessFromMagnitude(double a, double b, double magnitude);
// mag/arcmin^2 -> mag/arcsec^2 (adds 2.5 log10 3600 = 8.89).
double SurfaceBrightnessArcminToArcsec(double s);
// mag/arcsec^2 -> mag/arcmin^2.
double SurfaceBrightnessArcsecToArcmin(double s);
// 0.375 log10(900 pi d^2) for a diameter d in arcmin when that area exceeds
// one square arcsecond, else 0.
double ExtendedObjectAreaTerm(double diameter);

// ---- magnitudes ----------------------------------------------------------------------
// B-V of a spectral type "<class letter><subclass 0-9>" (subclass 0 when only
// the letter is given); kNoColorIndex when unreadable, the subclass is outside
// 0..9 or the letter is not one of O B A F G K M.
double ColorIndexFromSpectralType(const char *text);
// Magnitude of two sources together; a magnitude above 90 counts as none.
double CombineMagnitudes(double a, double b);
// magnitude - 2.5 log10((k / (size_deg x 0.5 / w + 1) + 1) / (1 + k)), size in
// radians. The magnitude is returned unchanged for w <= 0, a missing magnitude
// (> 90) or when the ratio is not positive.
double AdjustMagnitudeForExtent(double size, double magnitude, double k, double w);
// (100 / a) x 100^(-0.1 b); 0 for a = 0.
double ScaleHundredByMagnitude(double a, double b);

// ---- eclipses of one disk by another (one angular unit throughout) ---------------------
// Fraction of the covered disk's diameter that is covered: (r1 + r2 - d) / (2 r1)
// when the disks overlap (r1 covered radius, r2 covering radius), else 0.
// 0 for r1 <= 0.
double ComputeEclipseMagnitude(double coveredRadius, double coveringRadius, double distance);
// Fraction of the covered disk's area (diameter d2) hidden by the covering
// disk (diameter d1) at centre distance d, 0..1. 0 when either diameter is <= 0.
double ComputeObscuredFraction(double coveringDiameter, double coveredDiameter, double distance);
