#pragma once
namespace EAxis { enum Type { None, X, Y, Z }; }
