// The camera pool "camera.bin" (backup "camera.bak"): a version stamp, the last
// id and the count, then 381-byte CameraRecords; the stamp is carried as read.
// Also the sort of the pool (kind, then name) and the one-time import of camera
// definitions from the text file "camera.dat". Results: 1 success, 0 failure
// unless said otherwise; ids 0 on failure.
#pragma once
#include <cstdint>
#include <cstdio>

#include "instruments/camerarecords.h"
#include "instruments/poolfile.h"

extern const PoolLayout kCameraPool;

FILE *OpenCameraFile(int32_t *count);
// stamp receives the 5 stamp bytes.
FILE *OpenOtherCameraFile(const char *path, int32_t *count, uint8_t *stamp);
int ReadCameraRecord(FILE *f, int index, CameraRecord *record);
int WriteCameraRecord(FILE *f, int index, const CameraRecord *record);
// Name ignoring case; kind, dark signal, read noise, both gains (a binned gain
// of 0 counts as the unbinned one), pixel counts and sizes, built-in lens, bit
// depth, the guider byte and its six values and the curve name (ignoring case)
// decide 1 or 2.
int FindCameraRecordByName(FILE *f, const CameraRecord *probe, int *index, int *id, int n);
// 1 when name, kind, dark signal, read noise, gains, pixel counts and sizes,
// built-in lens, bit depth and curve name agree (the guider is not compared).
int CompareCameraRecords(const CameraRecord *a, const CameraRecord *b);
int FindCameraRecordById(FILE *f, int id, CameraRecord *record);
int AppendCameraRecord(FILE *f, CameraRecord *record);

// Record i's fields (any out may be null; curve takes 13 values, copied only
// for an empty curve name and set to 0 otherwise; name and curveName 33 bytes).
// The record's id, or 0.
int GetCameraFields(int index, int *kind, char *name, double *readNoise, double *gain,
                    double *binnedGain, double *darkSignal, double *sensorWidth,
                    double *sensorHeight, int *pixelsAcross, int *pixelsDown, double *pixelWidth,
                    double *pixelHeight, int *bitDepth, double *lensFocalLength, char *curveName,
                    double *curve, int *guider, double *guiderOffsetX, double *guiderOffsetY,
                    double *guiderPixelWidth, double *guiderPixelHeight, int *guiderPixelsAcross,
                    int *guiderPixelsDown);
int GetCameraFieldsById(int id, int *kind, char *name, double *readNoise, double *gain,
                        double *binnedGain, double *darkSignal, double *sensorWidth,
                        double *sensorHeight, int *pixelsAcross, int *pixelsDown,
                        double *pixelWidth, double *pixelHeight, int *bitDepth,
                        double *lensFocalLength, char *curveName, double *curve, int *guider,
                        double *guiderOffsetX, double *guiderOffsetY, double *guiderPixelWidth,
                        double *guiderPixelHeight, int *guiderPixelsAcross,
                        int *guiderPixelsDown);
int FindCameraIndexById(int id);
// Rewrites record i from the values, keeping its id and reserved bytes; the
// name only when given; the curve values only for an empty curve name with
// values given; without a guider its 25 bytes are written as 0.
int UpdateCameraRecord(int index, int kind, const char *name, double readNoise, double gain,
                       double binnedGain, double darkSignal, double sensorWidth,
                       double sensorHeight, int pixelsAcross, int pixelsDown, double pixelWidth,
                       double pixelHeight, int bitDepth, double lensFocalLength,
                       const char *curveName, const double *curve, int guider,
                       double guiderOffsetX, double guiderOffsetY, double guiderPixelWidth,
                       double guiderPixelHeight, int guiderPixelsAcross, int guiderPixelsDown);
// Appends a camera built from the values (reserved bytes 0); its id.
int AddCameraRecord(int kind, const char *name, double readNoise, double gain, double binnedGain,
                    double darkSignal, double sensorWidth, double sensorHeight, int pixelsAcross,
                    int pixelsDown, double pixelWidth, double pixelHeight, int bitDepth,
                    double lensFocalLength, const char *curveName, const double *curve,
                    int guider, double guiderOffsetX, double guiderOffsetY,
                    double guiderPixelWidth, double guiderPixelHeight, int guiderPixelsAcross,
                    int guiderPixelsDown);
int DeleteCameraRecordById(int id);
int BackupCameraFile();
int RestoreCameraFile();

// Orders the pool by kind (unsigned, ascending), then name ignoring case; the
// header is kept. The pool is rewritten beside itself and replaced whole.
int SortCameraPool();
// <0, 0, >0 in the sort order above (two CameraRecords).
int CompareCameraRecordsForSort(const void *a, const void *b);

// Reads "camera.dat" (when there is one) and appends each camera whose name the
// pool does not hold yet, then sorts the pool. The text file is deleted only
// when every line was taken or skipped as a duplicate; a malformed line or a
// failed append keeps it. The number of cameras added, or -1 when the pool
// could not be read (nothing more is done then).
int ImportCameraDefinitions();
