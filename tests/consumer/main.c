/* A host module written in C: includes the installed headers and calls one or
 * more functions of every plain-function family, checking each answer. Built
 * with -std=c99 -Wall -Wextra -Werror -pedantic; exits non-zero when a check
 * fails. */
#include <qzutil/qzutil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;
static int checks = 0;

static void check(int ok, const char* what) {
  ++checks;
  if (!ok) {
    ++failures;
    printf("c consumer: WRONG %s\n", what);
  }
}

static int near(double a, double b) {
  return a - b < 1e-9 && b - a < 1e-9;
}

static void translation(void) {
  unsigned char word[4] = {1, 2, 3, 4};
  unsigned char ascii[2] = {'A', '0'};
  unsigned char ebcdic[2];
  tra_swap_4(word);
  check(word[0] == 4 && word[3] == 1, "tra_swap_4");
  tra_convert_charset(1, 2, ascii, ebcdic);
  check(ebcdic[0] == 0xC1 && ebcdic[1] == 0xF0, "tra_convert_charset");
}

static void text(void) {
  static const VarNameIntT table[] = {{"solid", 1}, {"dashed", 2}, {NULL, 0}};
  VarListEntryT* list = NULL;
  intptr_t info = 0;
  int32_t value = 0;
  char word[] = "MiXeD";
  const StrTokenT* token = str_parse("width 12.5");
  check(token->type == STR_WORD && token->length == 5 && strncmp(token->text, "width", 5) == 0,
        "str_parse word");
  token = str_parse(token->next);
  check(token->type == STR_NUMBER && near(token->value, 12.5), "str_parse number");
  str_lower_string(word);
  check(strcmp(word, "mixed") == 0, "str_lower_string");
  check(VarLookupInt(table, "DASHED", &value) == 1 && value == 2, "VarLookupInt");
  check(VarAddNameInfo(&list, "layer", 7) != NULL, "VarAddNameInfo");
  check(VarLookupNameInfo(list, "LAYER", &info) == 1 && info == 7, "VarLookupNameInfo");
  check(VarDeleteNameInfo(&list, "layer") == 7 && list == NULL, "VarDeleteNameInfo");
}

static void geometry(void) {
  RealPtT a = {0.0, 0.0};
  RealPtT b = {10.0, 0.0};
  RealPtT p = {5.0, 2.0};
  RealPtT max;
  RealPtT min;
  UtlCubicT line = {{0.0, 0.0, 10.0, 0.0}, {0.0, 0.0, 0.0, 0.0}};
  RealPtT* points = NULL;
  int32_t count = 0;
  double s = 0.0;
  double c = 0.0;
  check(near(utl_inches_to_units(1.0, 2), 25.4), "utl_inches_to_units");
  drw_get_trig(30, &s, &c);
  check(s == 0.5, "drw_get_trig");
  /* The offset (0, 2) measures 0.96 * 2 by the approximate distance. */
  check(near(utl_point_line(&p, &a, &b), 1.92), "utl_point_line");
  utl_maxmin_circle(&p, 1.0, &max, &min);
  check(max.x == 6.0 && min.y == 1.0, "utl_maxmin_circle");
  UtlCubicToPolyline(&line, 0.1, &count, &points);
  check(count == 2 && points != NULL && points[1].x == 10.0, "UtlCubicToPolyline");
  free(points);
  check(utl_is_little_endian() == 1, "utl_is_little_endian");
}

static void file_names(void) {
  check(strcmp(utl_file_extension("dir/name.tar.gz"), ".tar.gz") == 0, "utl_file_extension");
}

static void os_layer(void) {
  char stamp[14];
  char path[32];
  check(osh_get_time_stamp(stamp) == 13 && stamp[6] == '.', "osh_get_time_stamp");
  check(osh_append_path("dir", "name", path) == 1 && strcmp(path, "dir\\name") == 0,
        "osh_append_path");
  check(osh_file_exists(NULL) == 0, "osh_file_exists");
}

static void memory(void) {
  MemPoolT* pool = MemPoolNew(100);
  MemListT* list = pool != NULL ? MemListNew(pool, NULL) : NULL;
  void* block = NULL;
  check(list != NULL, "MemListNew");
  if (list == NULL) return;
  check(MemAllocate(list, 40, 1, &block) == MEM_OK && block != NULL && pool->used == 40,
        "MemAllocate");
  check(MemAllocate(list, 80, 1, &block) == MEM_POOL_OVERFLOW, "MemAllocate over budget");
  MemListInitializeSearch(list);
  check(MemListRemoveLargest(list) == 1 && block == NULL && pool->used == 0,
        "MemListRemoveLargest");
  MemListDelete(&list);
  MemPoolDelete(&pool);
  check(list == NULL && pool == NULL, "MemListDelete, MemPoolDelete");
}

static void trace(void) {
  /* No settings under this key: tracing stays off and nothing is written. */
  check(trcStart("QzConsumerTrace") == 0 && trcActivated == 0, "trcStart");
  trcPrint(__FILE__, __LINE__, "not written %d", 1);
}

static void matrix(void) {
  Mtx2D m;
  Mtx2D inverse;
  double x = 0.0;
  double y = 0.0;
  set_xfm(10.0, 20.0, Mtx2DRot0, 2.0, 3.0, 1.0, 1.0, &m);
  til_xfm_pnt(11.0, 21.0, &x, &y, &m);
  check(x == 3.0 && y == 4.0 && m.type == Mtx2DAligned, "set_xfm, til_xfm_pnt");
  invert_matrix(&m, &inverse);
  til_xfm_pnt(x, y, &x, &y, &inverse);
  check(near(x, 11.0) && near(y, 21.0), "invert_matrix");
  initialize_matrix(&m);
  rotate_matrix(90.0, &m, Mtx2DRotatePost);
  check(m.b == 1.0 && m.c == -1.0 && m.type == Mtx2DSwapped, "rotate_matrix");
}

/* C has no call that frees a colour map (ColDeleteColorMap has C++
 * linkage), so a C host keeps its maps for the life of the process. */
static ColorMap* palette = NULL;

static void colour(void) {
  ColorMap* map = palette = ColOpen(4, 255); /* black entries */
  ColorXfm* xfm = ColOpenXfm(4);
  ColorRGB grey = {1, 1, 1};
  int32_t distance = -1;
  check(map != NULL && xfm != NULL, "ColOpen, ColOpenXfm");
  if (map == NULL || xfm == NULL) return;
  check(ColGetClosestColor(&grey, map, &distance) == 1 && distance == 1, "ColGetClosestColor");
  ColMapColors(map, map, xfm);
  ColCloseXfm(&xfm);
}

int main(void) {
  translation();
  text();
  geometry();
  file_names();
  os_layer();
  memory();
  trace();
  matrix();
  colour();
  printf("c consumer: %d checks, %d wrong\n", checks, failures);
  return failures == 0 ? 0 : 1;
}
