// The result records of the web channels: one fixed-size layout per channel, made of fixed-width
// NUL-terminated GBK text fields. A parser zeroes a record, fills its fields and appends it to a
// ResultStore (ResultStore.h).
//
// Every field is written through SetField / FitText: a text longer than its field is cut to fit
// (terminator included), never past the field and never between the two bytes of a GBK
// character, so a field always holds whole characters and a NUL.
#pragma once

#include <cstddef>
#include <cstring>

namespace jollix {

// Web pages: 1792 bytes.
struct WebRecord {
  char title[256];
  char url[512];
  char abstract[1024];
};

// News: 3050 bytes.
struct NewsRecord {
  char title[500];
  char url[500];
  char abstract[2000];
  char source_time[50];  // news source and publication time
};

// Documents: 5600 bytes.
struct DocRecord {
  char type[100];  // file type as the engine shows it
  char title[1000];
  char url[2000];
  char abstract[2000];
  char size_time[500];  // file size and update time line
};

// Music: 2656 bytes.
struct MusicRecord {
  char title[256];
  char url[2000];
  char singer[100];
  char album[100];
  char size[100];
  char format[100];
};

// Software: 3900 bytes.
struct SoftwareRecord {
  char name[500];
  char url[500];
  char summary[2000];
  char time[300];
  char size[300];        // size, or basic information
  char popularity[300];  // popularity, or download count
};

// Travel: 3020 bytes. Weather and phone results use the text line only; trains and flights use
// their own fields, which share the space after it (a record holds one kind).
struct TrainFields {
  char number[20];
  char departure_station[50];
  char arrival_station[50];
  char departure_time[50];
  char arrival_time[50];
  char travel_time[50];
  char distance[50];
  char hard_seat[50];
  char soft_seat[50];
  char hard_sleeper[50];
  char soft_sleeper[50];
};
struct FlightFields {
  char number[120];
  char departure[50];  // departure airport and time
  char arrival[100];   // arrival airport and time
  char days[250];      // days of operation
  char aircraft[2000];
};
struct TripRecord {
  char text[500];
  union {
    TrainFields train;
    FlightFields flight;
  };
};

// Education: 3350 bytes.
struct EducationRecord {
  char title[500];
  char url[500];
  char abstract[2000];
  char source[300];
  char citations[50];
};

static_assert(sizeof(WebRecord) == 1792);
static_assert(sizeof(NewsRecord) == 3050);
static_assert(sizeof(DocRecord) == 5600);
static_assert(sizeof(MusicRecord) == 2656);
static_assert(sizeof(SoftwareRecord) == 3900);
static_assert(sizeof(TripRecord) == 3020);
static_assert(offsetof(TripRecord, train) == 500 && offsetof(TripRecord, flight) == 500);
static_assert(sizeof(TrainFields) == 520 && sizeof(FlightFields) == 2520);
static_assert(sizeof(EducationRecord) == 3350);

// Copies the first length bytes of text into a field of width bytes (width >= 1): as many
// whole GBK characters as fit in width - 1 bytes, then a NUL. A lead byte (0x81..0xFE) and the
// byte after it count as one character. Returns the number of bytes copied.
size_t FitText(char* field, size_t width, const char* text, size_t length);

// FitText for a field array and a NUL-terminated text (null counts as empty).
template <size_t N>
size_t SetField(char (&field)[N], const char* text) {
  return FitText(field, N, text ? text : "", text ? std::strlen(text) : 0);
}

}  // namespace jollix
