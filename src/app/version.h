// The one place the product name, version and maker are written; read by the .rc and the version
// window.
#pragma once

#define CLIPWREN_PRODUCT_NAME "Clip Wren"
#define CLIPWREN_VERSION_MAJOR 2
#define CLIPWREN_VERSION_MINOR 11
#define CLIPWREN_VERSION_TEXT "2.11"
// The version window writes it after "製作者　" on one line of a 131-pixel label: a longer name
// wraps there.
#define CLIPWREN_MAKER "Wren"
#define CLIPWREN_HOME_PAGE "https://clipwren.example.org/"
