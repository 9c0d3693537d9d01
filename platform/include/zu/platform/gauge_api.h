// The simulator's gauge interface as this build defines it.
//
// A gauge module exports two records, `ImportTable` and `Linkage`. The
// simulator fills the import table with its panel service table before any
// gauge runs, reads the linkage record to find the gauge headers, creates the
// gauges its panel configuration names and calls them every frame.
//
// These records are written for a 64-bit Linux process: every pointer field
// is 64 bits wide, so the records are not byte-compatible with a 32-bit
// simulator. The field order and meaning follow the gauge format the module
// was designed for; the layout is our own.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zu::gauge {

// ---------------------------------------------------------------------------
// Elements

enum class ElementType : uint32_t {
    StaticImage = 0,  // a bitmap drawn as is
    Needle = 1,       // a bitmap rotated about a pivot by the callback's angle
    String = 2,       // text produced by the callback
    Slider = 3,       // a bitmap moved along x and/or y
    Icon = 4,         // one of several bitmaps chosen by the callback's value
    MovingImage = 5,  // a bitmap shown through a mask, shifted by the value
    Sprite = 6,       // a bitmap rotated and shifted
};

// Image flag bits. The module hides and shows elements by setting and
// clearing kImageHidden through SetElementFlags / ClearElementFlags.
inline constexpr uint32_t kImageHidden = 0x0001;       // element is not drawn
inline constexpr uint32_t kImageLuminous = 0x0002;     // drawn lit (panel lighting)
inline constexpr uint32_t kImageTransparent = 0x0004;  // colour key black is transparent
inline constexpr uint32_t kImageNoSkip = 0x0008;       // drawn even when hidden by parent
inline constexpr uint32_t kImageBilinear = 0x0010;     // smooth scaling
// A static image whose pixels the module paints: the host gives each placed
// instance a DrawingSurface of the element's on-screen size (see below).
inline constexpr uint32_t kImageDrawnSurface = 0x0020;
// Set by the host once it shows what an element holds. The module clears it
// to ask for a redraw: the host then takes a painted surface's picture (or a
// string's text) again after the service, and sets the flag.
inline constexpr uint32_t kImageOnScreen = 0x80000000u;

// The pixels of a drawn-surface element, made by the host for each placed
// instance at element-list install and destroyed after kill. Rows top down,
// 4 bytes a pixel in the order of BitmapResource (R, G, B, A), `stride`
// bytes a row. `context` is the drawing context over these pixels
// (zu/platform/drawing.h).
struct DrawingSurface {
    int32_t width;
    int32_t height;
    int32_t stride;
    uint32_t bytes;
    uint8_t* pixels;
    void* context;
};

struct ElementHeader;

// Element callback: the host writes the element's source variable into
// `source_value`, then calls the callback, which returns the value that
// drives the element (angle, icon index, offset, ...).
using ElementCallback = double (*)(ElementHeader* element);

struct Point {
    int32_t x;
    int32_t y;
};

// Fields common to every element. A concrete element record (below) begins
// with this header.
struct ElementHeader {
    ElementType type;
    uint32_t resource_id;          // bitmap resource of the module
    Point position;                // on the gauge, in design pixels
    uint32_t image_flags;          // kImage* bits
    ElementHeader** next_element;  // null-terminated list; entry 0 is the next element
    uint32_t source_token;         // host variable written before the callback (0: none)
    double source_value;           // written by the host before the callback
    ElementCallback callback;      // may be null: the source value is used as is
    // kImageDrawnSurface elements: the surface of the instance being served,
    // written by the host before each service of that instance.
    DrawingSurface* surface = nullptr;
};

// Icon: `resource_id` + value selects one of `icon_count` bitmaps.
struct IconElement {
    ElementHeader header;
    uint32_t icon_count;
    double last_value;  // host bookkeeping
};

// Needle: bitmap rotated by the callback value (degrees, clockwise from up)
// about `pivot` (in the needle bitmap) placed at `header.position`.
struct NeedleElement {
    ElementHeader header;
    Point pivot;
    double last_angle;  // host bookkeeping
};

// String: the callback fills `text` (the host keeps the buffer between frames)
// and returns anything. Drawn in `font_name` (a face name of the module's
// design: "Arial", "Arial Narrow", "Quartz") at `font_height` pixels.
struct StringElement {
    ElementHeader header;
    int32_t width;
    int32_t height;
    uint32_t fg_colour;  // 0x00BBGGRR
    uint32_t bg_colour;  // 0x00BBGGRR
    uint32_t highlight_colour;
    const char* font_name;
    int32_t font_height;
    int32_t font_weight;  // 0 (the face's normal), 100..900; bold from 700
    uint32_t align;       // 0 left, 1 centre, 2 right
    char text[64];
};

// Slider: the callback returns the x offset; `y_callback` (may be null) the
// y offset, each multiplied by its scale.
struct SliderElement {
    ElementHeader header;
    ElementCallback y_callback;
    double x_scale;
    double y_scale;
    double last_x;
    double last_y;
};

// Moving image: `resource_id` shifted by the value × scale behind the mask
// bitmap `mask_resource_id`.
struct MovingImageElement {
    ElementHeader header;
    uint32_t mask_resource_id;
    ElementCallback y_callback;
    double x_scale;
    double y_scale;
    double last_x;
    double last_y;
};

// Sprite: rotated by the callback value (degrees) and shifted by the two
// extra callbacks (pixels) inside the mask bitmap.
struct SpriteElement {
    ElementHeader header;
    uint32_t mask_resource_id;
    ElementCallback x_callback;
    ElementCallback y_callback;
    double last_angle;
    double last_x;
    double last_y;
};

// ---------------------------------------------------------------------------
// Mouse rectangles

// Mouse event bits passed to handlers.
inline constexpr uint32_t kMouseLeftSingle = 0x0001;
inline constexpr uint32_t kMouseRightSingle = 0x0002;
inline constexpr uint32_t kMouseLeftRepeat =
    0x0004;  // held: delivered again at the host's repeat rate
inline constexpr uint32_t kMouseRightRepeat = 0x0008;
inline constexpr uint32_t kMouseMove = 0x0010;  // pointer moved over the rectangle
inline constexpr uint32_t kMouseLeftRelease = 0x0020;
inline constexpr uint32_t kMouseRightRelease = 0x0040;
inline constexpr uint32_t kMouseWheelUp = 0x0080;
inline constexpr uint32_t kMouseWheelDown = 0x0100;

using MouseHandler = int32_t (*)(Point* relative, uint32_t mouse_flags);

enum class MouseRectKind : uint32_t { End = 0, Parent = 1, Child = 2 };

// A gauge's mouse-rectangle list: one Parent (the gauge area), Child
// rectangles, then End. Coordinates are in design pixels of the gauge.
struct MouseRect {
    MouseRectKind kind;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    uint32_t cursor;       // cursor shape hint
    uint32_t mouse_flags;  // events the handler wants (kMouse* bits)
    MouseHandler handler;
};

// ---------------------------------------------------------------------------
// Gauges

struct GaugeHeader;

// Gauge services passed to the gauge callback.
inline constexpr int32_t kServiceInstall = 2;
inline constexpr int32_t kServiceUpdate = 6;  // once per simulator frame
inline constexpr int32_t kServiceDraw = 10;
inline constexpr int32_t kServiceKill = 12;
inline constexpr int32_t kServiceConnectWindow = 14;

using GaugeCallback = void (*)(GaugeHeader* gauge, int32_t service, uintptr_t extra);
// The seven standard routines of a header. `arg` carries the one argument of
// install and generate; the others ignore it.
using StandardRoutine = void (*)(GaugeHeader* gauge, uintptr_t arg);

inline constexpr uint32_t kGaugeHeaderVersion = 800;

struct GaugeHeader {
    // Filled by the module.
    uint32_t version;  // kGaugeHeaderVersion
    const char* name;
    ElementHeader** element_list;  // entry 0: the first element
    StandardRoutine query;
    StandardRoutine install;
    StandardRoutine initialise;
    StandardRoutine update;
    StandardRoutine generate;
    StandardRoutine draw;
    StandardRoutine kill;
    uint32_t default_width_mm;
    MouseRect* mouse_rect;
    GaugeCallback gauge_callback;
    // Filled by the host when it creates a gauge from this header.
    const char* parameters;  // parameter string of the panel configuration ("" when none)
    int32_t size_x;          // placed size in screen pixels
    int32_t size_y;
    void* host_data;  // the host's own bookkeeping
};

// ---------------------------------------------------------------------------
// Host variables

// The simulator's module-variable record. The lookup service (slot 40)
// refreshes a record in place: pointer, type and value.
struct HostVariable {
    uint32_t token;
    const void* value_ptr;
    uint32_t value_type;  // 0 number
    double value;
    double previous;
};

// ---------------------------------------------------------------------------
// Panel service table

// Slots of the simulator's panel service table that this module uses. The
// table is an array of pointer-sized entries; slot N is entry N.
inline constexpr int kSlotPanelWindowCloseIdent =
    11;                                           // int (uint32 id): 1 while the window is open
inline constexpr int kSlotElementListQuery = 24;  // void (ElementHeader*, uintptr_t)
inline constexpr int kSlotElementListInstall = 25;
inline constexpr int kSlotElementListInitialise = 26;
inline constexpr int kSlotElementListUpdate = 27;
inline constexpr int kSlotElementListGenerate = 28;
inline constexpr int kSlotElementListDraw = 29;
inline constexpr int kSlotElementListKill = 31;
inline constexpr int kSlotTriggerKeyEvent = 36;        // void (uint32 event, uint32 value)
inline constexpr int kSlotLookupVariable = 40;         // void (HostVariable*)
inline constexpr int kSlotPanelWindowOpen = 44;        // int (uint32 id): shows the window
inline constexpr int kSlotPanelWindowClose = 45;       // int (uint32 id)
inline constexpr int kSlotPanelWindowToggle = 46;      // int (uint32 id)
inline constexpr int kSlotCheckNamedVariable = 50;     // int32 (const char* name): id or -1
inline constexpr int kSlotRegisterNamedVariable = 51;  // int32 (const char* name): id
inline constexpr int kSlotSetNamedVariable = 52;       // void (int32 id, double value)
inline constexpr int kSlotGetNamedVariable = 53;       // double (int32 id)
inline constexpr int kPanelServiceSlots = 64;

using ElementListService = void (*)(ElementHeader* first, uintptr_t arg);
using PanelWindowService = int32_t (*)(uint32_t ident);
using TriggerKeyEventService = void (*)(uint32_t event, uint32_t value);
using LookupVariableService = void (*)(HostVariable* var);
using CheckNamedVariableService = int32_t (*)(const char* name);
using RegisterNamedVariableService = int32_t (*)(const char* name);
using SetNamedVariableService = void (*)(int32_t id, double value);
using GetNamedVariableService = double (*)(int32_t id);

struct PanelServiceTable {
    void* slot[kPanelServiceSlots];
};

// Typed access to a slot; null when the host left it empty.
template <typename Fn>
inline Fn PanelService(const PanelServiceTable* table, int slot) {
    if (table == nullptr || slot < 0 || slot >= kPanelServiceSlots) return nullptr;
    return reinterpret_cast<Fn>(table->slot[slot]);
}

// ---------------------------------------------------------------------------
// Exported records

inline constexpr uint32_t kPanelServicesImportId = 0x0000000F;

struct ImportTableRecord {
    uint32_t panel_services_id;  // kPanelServicesImportId
    PanelServiceTable* panels;   // filled by the host
    uint32_t end0;
    uint32_t end1;
};

// ---------------------------------------------------------------------------
// Bitmap resources

// One bitmap of the module: `width` x `height` pixels of 4 bytes, rows top
// down, byte order R, G, B, A, colour premultiplied by alpha (stride
// width x 4). Element records name bitmaps by `id`.
struct BitmapResource {
    uint32_t id;
    int32_t width;
    int32_t height;
    const uint8_t* pixels;
};

// The module's resource look-up: the bitmap with this number, or null.
using FindResourceRoutine = const BitmapResource* (*)(uint32_t id);

inline constexpr uint32_t kModuleId = 0x13;
inline constexpr uint32_t kLinkVersion = 0x900;
inline constexpr int kGaugeCount = 147;

using ModuleRoutine = void (*)();

struct LinkageRecord {
    uint32_t module_id;  // kModuleId
    ModuleRoutine module_init;
    ModuleRoutine module_deinit;
    uint32_t zero0;
    uint32_t zero1;
    uint32_t link_version;                 // kLinkVersion
    GaugeHeader* gauges[kGaugeCount + 1];  // null-terminated
    // Added for this build: the module's bitmap resources (null when the
    // module carries none). The host loads element bitmaps through it.
    FindResourceRoutine find_resource;
};

}  // namespace zu::gauge
