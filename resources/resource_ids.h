/* Names shared by the program and its resource script. The resource compiler
   reads this file too, so it holds preprocessor lines only. */
#ifndef NOTICE_RESOURCE_IDS_H
#define NOTICE_RESOURCE_IDS_H

/* The icon group is named by this string, not by a number; notice.rc spells
   the same name as DEFAULT_ICON. */
#define NOTICE_ICON_NAME_W L"DEFAULT_ICON"

#endif
