/* ZnTreeCt - a checkable tree control and a multi-column list control for Win32 dialogs.
 *
 * Plain C header (C89 and later, C++). Every export uses the cdecl calling convention and
 * is exported undecorated. The records below are read by the host straight from memory:
 * their layouts are part of the interface (32-bit sizes given in the comments). */
#ifndef ZNTREECT_H
#define ZNTREECT_H

#include <windows.h>
#include <oleauto.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef ZNTREECT_BUILDING
#define ZNTREECT_API __declspec(dllexport)
#else
#define ZNTREECT_API __declspec(dllimport)
#endif

/* Check states shared by tree nodes and list rows. */
#define ZN_CHECK_DISABLED        1      /* no check box; never toggled, left out of a parent's state */
#define ZN_CHECKED               2      /* box checked */
#define ZN_UNCHECKED             3      /* box empty */
#define ZN_PARTLY_CHECKED        4      /* some descendants checked (greyed box) */

/* Node and row flags (16 bits). */
#define ZN_SORT_CHILDREN         0x0001 /* tree: new children are placed in order of text 1 */
#define ZN_BOLD_TEXT1            0x0002 /* text 1 drawn in the bold font */
#define ZN_BOLD_TEXT2            0x0004 /* text 2 drawn in the bold font */
#define ZN_BOLD_TEXT3            0x0008 /* text 3 drawn in the bold font */
#define ZN_CHOICE_TEXT1          0x0010 /* text 1 is a choice list edited in place */
#define ZN_CHOICE_TEXT2          0x0020 /* text 2 is a choice list edited in place */
#define ZN_CHOICE_TEXT3          0x0040 /* text 3 is a choice list edited in place */

/* Change-mask bits of a NodeInfo used for an update. */
#define ZN_CHANGE_CHECK          0x01   /* checkState (posts a check-state notification) */
#define ZN_CHANGE_EXTRA_ICON     0x04   /* extraIcon (UpdateNode / ZNList_UpdateItem only) */
#define ZN_CHANGE_SEVERITY       0x08   /* severity (UpdateNode / ZNList_UpdateItem only) */
#define ZN_CHANGE_TEXT1          0x10   /* text 1; a null text clears it */
#define ZN_CHANGE_TEXT2          0x20   /* text 2 */
#define ZN_CHANGE_TEXT3          0x40   /* text 3 */

/* Notification codes: HIWORD(wParam) of a WM_COMMAND posted to the control's parent;
 * LOWORD(wParam) is the list box's control id and lParam the list box window. */
#define ZN_TREE_CHECK_STATE_CHANGED  0x2320 /* a tree node's check state or choice changed */
#define ZN_LIST_CHECK_STATE_CHANGED  0x2321 /* a list row's check state or choice changed */

#define ZN_EDITOR_ID             1998   /* control id of both in-place choice editors */
#define ZN_HEADER_RELAYOUT       0x8303 /* private message re-measuring the list header */

/* Column flags of ZNList_AddHeaderColumn. */
#define ZN_COLUMN_PATH           0x01   /* cells shorten long paths in their middle */
#define ZN_COLUMN_MULTILINE      0x02   /* cells wrap their text over several lines */
#define ZN_COLUMN_CENTER         0x08   /* cells are centred */
#define ZN_COLUMN_SINGLELINE     0x10   /* cells are one line, vertically centred */
#define ZN_COLUMN_TITLE_CENTER   0x20   /* the header title is centred */

/* A shared, reference-counted text (16 bytes on 32-bit, 24 on x64). */
typedef struct TextBlock {
    BSTR wide;                 /* the text; may be null; may hold embedded NULs */
    char *narrow;              /* ANSI copy made on first demand, owned by the block */
    volatile LONG references;  /* number of TextField slots sharing the block */
    DWORD status;              /* 0, or 0x8007000E when an allocation failed */
} TextBlock;

/* A text slot embedded in nodes and rows (12 bytes on 32-bit, 16 on x64). */
typedef struct TextField {
    TextBlock *block;          /* null while the slot never held a text */
    DWORD status;              /* 0 or the error of the last making of a block */
    DWORD spare;               /* always 0 */
} TextField;

/* The host's record for inserting and updating nodes and rows (40 bytes on 32-bit). */
typedef struct NodeInfo {
    DWORD reserved;            /* not read */
    DWORD id;                  /* node or row identifier */
    DWORD parentId;            /* insert: parent's id (0 = top level); update: change mask */
    DWORD checkState;          /* ZN_CHECK_DISABLED .. ZN_PARTLY_CHECKED */
    WORD flags;                /* ZN_SORT_CHILDREN, ZN_BOLD_TEXTn, ZN_CHOICE_TEXTn */
    WORD padding;
    DWORD extraIcon;           /* 0 none, else index into the additional image list */
    DWORD severity;            /* 0 none, 1..3 index into the severity image list */
    BSTR text1;                /* texts must be real BSTRs; null = no text (update: clear) */
    BSTR text2;
    BSTR text3;
} NodeInfo;

/* A tree node as the host reads it by walking from GetListHead (108 bytes on 32-bit). */
typedef struct TreeNode {
    DWORD reserved;            /* 0, never used by the library */
    DWORD id;                  /* host's node identifier */
    DWORD parentId;            /* host's identifier of the parent, 0 at top level */
    DWORD checkState;          /* ZN_CHECK_DISABLED .. ZN_PARTLY_CHECKED */
    DWORD severity;            /* 0 none, 1..3 */
    LONG textCount;            /* number of texts (0..3), one row line each */
    TextField texts[3];        /* text 1, 2, 3 */
    DWORD descendantCount;     /* all descendants; they follow the node in the chain */
    DWORD level;               /* 0 at top level, parent's level + 1 below */
    LONG expandState;          /* 1 expanded, 0 collapsed, -1 no descendants */
    DWORD lineShape;           /* 0 first top-level node, 1 sibling follows, 2 last, 3 only */
    DWORD groupKey;            /* key given with Sorted_Insert */
    WORD flags;                /* ZN_SORT_CHILDREN, ZN_BOLD_TEXTn, ZN_CHOICE_TEXTn */
    WORD padding;
    DWORD extraIcon;           /* 0 none, else index into the additional image list */
    struct TreeNode *parent;   /* null at top level */
    struct TreeNode *next;     /* next node in display order, null at the end */
    DWORD choiceIndex;         /* position of the chosen entry of the choice list */
    LONG choiceValue;          /* value of the chosen entry */
    BYTE choiceValueSet;       /* 1 once choiceValue has been set */
    BYTE padding2[3];
} TreeNode;

#pragma pack(push, 1)
/* The growable array of a row's column texts (16 bytes on 32-bit, 28 on x64). */
typedef struct ColumnTextArray {
    TextField *begin;          /* entry 0 holds the text of header column 1 */
    TextField *end;            /* one past the last entry */
    TextField *capacity;       /* end of the allocated storage */
    DWORD spare;               /* belongs to the array; nothing for the host */
} ColumnTextArray;

/* A list row as the host reads it by walking from ZNList_GetListHead (91 bytes on 32-bit, packed). */
typedef struct ListRow {
    DWORD reserved;            /* 0, never used by the library */
    DWORD id;                  /* host's row identifier */
    DWORD checkState;          /* ZN_CHECK_DISABLED .. ZN_PARTLY_CHECKED */
    DWORD severity;            /* 0 none, else index into the severity image list */
    LONG textCount;            /* number of texts (0..3) in column 0 */
    TextField texts[3];        /* text 1, 2, 3 of column 0 */
    WORD flags;                /* ZN_BOLD_TEXTn, ZN_CHOICE_TEXTn */
    DWORD extraIcon;           /* 0 none, else index into the additional image list */
    struct ListRow *next;      /* next row in insertion order, null at the end */
    DWORD choiceIndex;         /* position of the chosen entry of the choice list */
    LONG choiceValue;          /* value of the chosen entry */
    BYTE choiceValueSet;       /* 1 once choiceValue has been set */
    ColumnTextArray columnTexts; /* texts of header columns 1, 2, 3 ... */
} ListRow;
#pragma pack(pop)

/* ---- tree control ------------------------------------------------------------------ */

/* Image lists are passed as HIMAGELIST (struct _IMAGELIST *), declared by <commctrl.h>. */
struct _IMAGELIST;

/* Creates a tree over the placeholder control; returns the tree's list box (null on failure). */
ZNTREECT_API HWND __cdecl CreateTree(HWND parent, int placeholderId, int listBoxId);
/* Destroys the tree's windows and everything it owns; 1 done, 0 not a tree. */
ZNTREECT_API int __cdecl DestroyTree(HWND tree);
/* Removes every node and row; 1 done, 0 not a tree. */
ZNTREECT_API int __cdecl ClearTree(HWND tree);
/* Attaches the host's 16 x 16 severity icons (at least 2); 1 attached, 0 refused. */
ZNTREECT_API int __cdecl AttachSeverityIcons(HWND tree, struct _IMAGELIST *icons);
/* Attaches the host's 16 x 16 additional icons (at least 2); 1 attached, 0 refused. */
ZNTREECT_API int __cdecl AttachAdditionalIcons(HWND tree, struct _IMAGELIST *icons);
/* First node of the chain in display order, or null. */
ZNTREECT_API TreeNode *__cdecl GetListHead(HWND tree);
/* Inserts a node under info->parentId (0 = top level); returns it, or null. */
ZNTREECT_API TreeNode *__cdecl Sorted_Insert(HWND tree, const NodeInfo *info, DWORD groupKey);
/* Changes the fields of a node that the change mask selects; nothing is redrawn. */
ZNTREECT_API int __cdecl UpdateNode(HWND tree, const NodeInfo *info, DWORD groupKey);
/* Changes a node's check state or texts and repaints at once, keeping *checkedCount in step. */
ZNTREECT_API int __cdecl UpdateTreeEntry(HWND tree, NodeInfo *info, DWORD groupKey, LONG *checkedCount);
/* Rebuilds the rows (top-level nodes, all collapsed) and recounts the checked nodes. */
ZNTREECT_API int __cdecl RefreshTree(HWND tree, LONG *selectedIndex, LONG *checkedCount);
/* Opens a node that has a row; 1 found, 0 not found or not shown. */
ZNTREECT_API int __cdecl ExpandNode(HWND tree, DWORD id, DWORD groupKey);
/* Closes a node that has a row; 1 found, 0 not found or not shown. */
ZNTREECT_API int __cdecl CollapseNode(HWND tree, DWORD id, DWORD groupKey);
/* Opens the path to a node and selects its row (posted); 1 done, 0 not found. */
ZNTREECT_API int __cdecl ZNTree_SelectNode(HWND tree, DWORD id, DWORD groupKey);
/* Forwarded WM_DRAWITEM of the tree's list box; *selectedIndex gets the selection. */
ZNTREECT_API int __cdecl On_DrawItem(HWND tree, DRAWITEMSTRUCT *item, LONG *selectedIndex);
/* Forwarded WM_MEASUREITEM of the tree's list box. */
ZNTREECT_API int __cdecl On_MeasureItem(HWND tree, MEASUREITEMSTRUCT *item);
/* Forwarded WM_CHARTOITEM; returns the value the dialog procedure returns for it. */
ZNTREECT_API int __cdecl On_WMCharToItem(HWND tree, WPARAM wParam, LPARAM lParam, LONG *checkedCount);
/* Forwarded WM_COMMAND of the tree's list box (clicks on expand and check boxes). */
ZNTREECT_API int __cdecl On_WMCommand(HWND tree, WPARAM wParam, LPARAM lParam, LONG *checkedCount);

/* ---- list control ------------------------------------------------------------------ */

/* Creates a list over the placeholder and hooks the parent; returns the list box (null on failure). */
ZNTREECT_API HWND __cdecl ZNList_Create(HWND parent, int placeholderId, int listBoxId);
/* Destroys the list and unhooks the parent; 1 done, 0 not a list. */
ZNTREECT_API int __cdecl ZNList_Destroy(HWND list);
/* Removes every row; 1. */
ZNTREECT_API int __cdecl ZNList_Clear(HWND list);
/* Attaches the host's 16 x 16 severity icons (at least 2); 1 attached, 0 refused. */
ZNTREECT_API int __cdecl ZNList_AttachSeverityIcons(HWND list, struct _IMAGELIST *icons);
/* Attaches the host's 16 x 16 additional icons (at least 2); 1 attached, 0 refused. */
ZNTREECT_API int __cdecl ZNList_AttachAdditionalIcons(HWND list, struct _IMAGELIST *icons);
/* First row of the chain in insertion order, or null. */
ZNTREECT_API ListRow *__cdecl ZNList_GetListHead(HWND list);
/* Appends a row made from the record; returns it, or null. */
ZNTREECT_API ListRow *__cdecl ZNList_Insert(HWND list, const NodeInfo *info);
/* Appends a row that shares the tree node's texts; returns it, or null. */
ZNTREECT_API ListRow *__cdecl ZNList_InsertFromTree(HWND list, const TreeNode *node);
/* Changes the fields of a row that the change mask selects; nothing is redrawn. */
ZNTREECT_API int __cdecl ZNList_UpdateItem(HWND list, const NodeInfo *info, DWORD unused);
/* Changes a row's check state or texts and repaints at once, keeping *checkedCount in step. */
ZNTREECT_API int __cdecl ZNList_UpdateEntry(HWND list, NodeInfo *info, DWORD unused, LONG *checkedCount);
/* Rebuilds the rows, sizes the columns and sorts by column (descending when non-zero). */
ZNTREECT_API int __cdecl ZNList_Refresh(HWND list, int sortColumn, int descending);
/* Appends a header column; flags are the ZN_COLUMN_* bits. 1 added, 0 no header. */
ZNTREECT_API int __cdecl ZNList_AddHeaderColumn(HWND list, const WCHAR *title, DWORD flags);
/* Sets a row's text in header column 1 or more (a BSTR, may be null). */
ZNTREECT_API int __cdecl ZNList_SetHeaderColumn(HWND list, DWORD rowId, DWORD column, BSTR text);
/* Selects the displayed row with this id (posted); 1 done, 0 not found or not shown. */
ZNTREECT_API int __cdecl ZNList_SelectNode(HWND list, DWORD rowId);
/* Number of rows in the chain. */
ZNTREECT_API int __cdecl ZNList_GetListCount(HWND list);
/* Number of rows whose check state is ZN_CHECKED. */
ZNTREECT_API int __cdecl ZNList_GetSelectedNodeCount(HWND list);

#ifdef __cplusplus
}
#endif

#endif /* ZNTREECT_H */
