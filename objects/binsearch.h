// Binary searches over sorted data that the search itself knows nothing of:
// sorted arrays in memory and fixed-size records of an open file. A compare
// call-back inspects element `mid` and answers 0 when it matches the key, a
// negative value when the key sorts before it and a positive value when the
// key sorts after it. Ranges are inclusive [low, high]; mid is (low + high) / 2
// rounded toward zero. A call-back that cannot read element `mid` answers a
// positive value, so the search moves on to higher indexes and ends absent.
//
// Record-returning call-backs allocate the matched record with std::malloc and
// hand it out only when they answer 0; the caller of the search frees it with
// std::free.
#pragma once
#include <cstdio>

typedef int (*RecordArrayCompare)(const void *key, const void *array, int mid, void **recordOut);
typedef int (*IndexArrayCompare)(const void *key, const int *array, int mid);
typedef int (*ContextCompare)(const void *key, const void *context, int mid);
typedef int (*FileRecordCompare)(const void *key, FILE *file, int mid, void **recordOut);
typedef int (*FileIndexCompare)(const void *key, FILE *file, int mid);

// The record the call-back handed out on a match; null when absent.
void *BinarySearchRecords(const void *array, int low, int high, const void *key,
                          RecordArrayCompare compare);
// The matching index; -1 when absent.
int BinarySearchIndexArray(const int *array, int low, int high, const void *key,
                           IndexArrayCompare compare);
// The matching index; when absent, the final high bound: the index of the last
// element that sorts before the key (low - 1 when the key sorts first).
int BinarySearchInsertionPoint(const void *context, int low, int high, const void *key,
                               ContextCompare compare);
// The record the call-back handed out on a match, with its index stored in
// *indexOut (which is left untouched when the key is absent); null when absent.
void *BinarySearchFileRecords(FILE *file, int low, int high, const void *key, int *indexOut,
                              FileRecordCompare compare);
// The matching index; -1 when absent.
int BinarySearchFileIndex(FILE *file, int low, int high, const void *key,
                          FileIndexCompare compare);
