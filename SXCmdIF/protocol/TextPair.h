// A narrow text and its wide twin written from one literal, so the wide
// form is always the narrow one widened.
#pragma once

#define SX_NW(text) text, L"" text
