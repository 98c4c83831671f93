#include "notice_window_gtk.h"

int main() { return notice::gtk::RunNotice(); }
