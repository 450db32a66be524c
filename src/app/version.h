// The one place the product name and version are written; read by the .rc and the version window.
#pragma once

#define CLIPWREN_PRODUCT_NAME "Clip Wren"
#define CLIPWREN_VERSION_MAJOR 2
#define CLIPWREN_VERSION_MINOR 11
#define CLIPWREN_VERSION_TEXT "2.11"
#define CLIPWREN_MAKER "Clipwren"
#define CLIPWREN_HOME_PAGE "https://clipwren.example.org/"
