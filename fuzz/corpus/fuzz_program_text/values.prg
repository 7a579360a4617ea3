-12   ; field:  0  poti:  0   ser.no.:  1 
 63   ; field:  0  poti:  0   ser.no.:  2 
-63   ; field:  0  poti:  0   ser.no.:  3 
 0    ; field:  0  poti:  0   ser.no.:  4 
 5    ; field:  0  poti:  0   ser.no.:  5 
 127  ; field:  0  poti:  0   ser.no.:  6 
 1    ; field:  0  poti:  0   ser.no.:  7 
-64   ; field:  0  poti:  0   ser.no.:  8 
 0    ; field:  0  poti:  0   ser.no.:  9 
 1    ; field:  0  poti:  0   ser.no.:  10 
 2    ; field:  0  poti:  0   ser.no.:  11 
 3    ; field:  0  poti:  0   ser.no.:  12 
 4    ; field:  0  poti:  0   ser.no.:  13 
 5    ; field:  0  poti:  0   ser.no.:  14 
 6    ; field:  0  poti:  0   ser.no.:  15 
 7    ; field:  0  poti:  0   ser.no.:  16 
 8    ; field:  0  poti:  0   ser.no.:  17 
 9    ; field:  0  poti:  0   ser.no.:  18 
 10   ; field:  0  poti:  0   ser.no.:  19 
 11   ; field:  0  poti:  0   ser.no.:  20 
 12   ; field:  0  poti:  0   ser.no.:  21 
 13   ; field:  0  poti:  0   ser.no.:  22 
 14   ; field:  0  poti:  0   ser.no.:  23 
 15   ; field:  0  poti:  0   ser.no.:  24 
 16   ; field:  0  poti:  0   ser.no.:  25 
 17   ; field:  0  poti:  0   ser.no.:  26 
 18   ; field:  0  poti:  0   ser.no.:  27 
 19   ; field:  0  poti:  0   ser.no.:  28 
 20   ; field:  0  poti:  0   ser.no.:  29 
 21   ; field:  0  poti:  0   ser.no.:  30 
 22   ; field:  0  poti:  0   ser.no.:  31 
 23   ; field:  0  poti:  0   ser.no.:  32 
 24   ; field:  0  poti:  0   ser.no.:  33 
 25   ; field:  0  poti:  0   ser.no.:  34 
 26   ; field:  0  poti:  0   ser.no.:  35 
 27   ; field:  0  poti:  0   ser.no.:  36 
 28   ; field:  0  poti:  0   ser.no.:  37 
 29   ; field:  0  poti:  0   ser.no.:  38 
 30   ; field:  0  poti:  0   ser.no.:  39 
 31   ; field:  0  poti:  0   ser.no.:  40 
 32   ; field:  0  poti:  0   ser.no.:  41 
 33   ; field:  0  poti:  0   ser.no.:  42 
 34   ; field:  0  poti:  0   ser.no.:  43 
 35   ; field:  0  poti:  0   ser.no.:  44 
 36   ; field:  0  poti:  0   ser.no.:  45 
 37   ; field:  0  poti:  0   ser.no.:  46 
 38   ; field:  0  poti:  0   ser.no.:  47 
 39   ; field:  0  poti:  0   ser.no.:  48 
 40   ; field:  0  poti:  0   ser.no.:  49 
 41   ; field:  0  poti:  0   ser.no.:  50 
 42   ; field:  0  poti:  0   ser.no.:  51 
 43   ; field:  0  poti:  0   ser.no.:  52 
 44   ; field:  0  poti:  0   ser.no.:  53 
 45   ; field:  0  poti:  0   ser.no.:  54 
 46   ; field:  0  poti:  0   ser.no.:  55 
 47   ; field:  0  poti:  0   ser.no.:  56 
 48   ; field:  0  poti:  0   ser.no.:  57 
 49   ; field:  0  poti:  0   ser.no.:  58 
 50   ; field:  0  poti:  0   ser.no.:  59 
 51   ; field:  0  poti:  0   ser.no.:  60 
 52   ; field:  0  poti:  0   ser.no.:  61 
 53   ; field:  0  poti:  0   ser.no.:  62 
 54   ; field:  0  poti:  0   ser.no.:  63 
 55   ; field:  0  poti:  0   ser.no.:  64 
 56   ; field:  0  poti:  0   ser.no.:  65 
 57   ; field:  0  poti:  0   ser.no.:  66 
 58   ; field:  0  poti:  0   ser.no.:  67 
 59   ; field:  0  poti:  0   ser.no.:  68 
 60   ; field:  0  poti:  0   ser.no.:  69 
 61   ; field:  0  poti:  0   ser.no.:  70 
 62   ; field:  0  poti:  0   ser.no.:  71 
 63   ; field:  0  poti:  0   ser.no.:  72 
 64   ; field:  0  poti:  0   ser.no.:  73 
 65   ; field:  0  poti:  0   ser.no.:  74 
 66   ; field:  0  poti:  0   ser.no.:  75 
 67   ; field:  0  poti:  0   ser.no.:  76 
 68   ; field:  0  poti:  0   ser.no.:  77 
 69   ; field:  0  poti:  0   ser.no.:  78 
 70   ; field:  0  poti:  0   ser.no.:  79 
 71   ; field:  0  poti:  0   ser.no.:  80 
 72   ; field:  0  poti:  0   ser.no.:  81 
 73   ; field:  0  poti:  0   ser.no.:  82 
 74   ; field:  0  poti:  0   ser.no.:  83 
 75   ; field:  0  poti:  0   ser.no.:  84 
 76   ; field:  0  poti:  0   ser.no.:  85 
 77   ; field:  0  poti:  0   ser.no.:  86 
 78   ; field:  0  poti:  0   ser.no.:  87 
 79   ; field:  0  poti:  0   ser.no.:  88 
 80   ; field:  0  poti:  0   ser.no.:  89 
 81   ; field:  0  poti:  0   ser.no.:  90 
 82   ; field:  0  poti:  0   ser.no.:  91 
 83   ; field:  0  poti:  0   ser.no.:  92 
 84   ; field:  0  poti:  0   ser.no.:  93 
 85   ; field:  0  poti:  0   ser.no.:  94 
 86   ; field:  0  poti:  0   ser.no.:  95 
 87   ; field:  0  poti:  0   ser.no.:  96 
 88   ; field:  0  poti:  0   ser.no.:  97 
 89   ; field:  0  poti:  0   ser.no.:  98 
 90   ; field:  0  poti:  0   ser.no.:  99 
 91   ; field:  0  poti:  0   ser.no.:  100 
 92   ; field:  0  poti:  0   ser.no.:  101 
 93   ; field:  0  poti:  0   ser.no.:  102 
 94   ; field:  0  poti:  0   ser.no.:  103 
 95   ; field:  0  poti:  0   ser.no.:  104 
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
 0    ; dummy
