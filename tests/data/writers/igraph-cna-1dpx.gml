Version 1
graph
[
  directed 0
  node
  [
    id 0
    name "1"
    color "#0000FF"
    size 1
  ]
  node
  [
    id 1
    name "2"
    color "#0000FF"
    size 1
  ]
  node
  [
    id 2
    name "3"
    color "#0000FF"
    size 1
  ]
  node
  [
    id 3
    name "4"
    color "#0000FF"
    size 1
  ]
  node
  [
    id 4
    name "5"
    color "#0000FF"
    size 1
  ]
  node
  [
    id 5
    name "6"
    color "#0000FF"
    size 1
  ]
  node
  [
    id 6
    name "7"
    color "#0000FF"
    size 1
  ]
  node
  [
    id 7
    name "8"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 8
    name "9"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 9
    name "10"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 10
    name "11"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 11
    name "12"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 12
    name "13"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 13
    name "14"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 14
    name "15"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 15
    name "16"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 16
    name "17"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 17
    name "18"
    color "#FF0000"
    size 1
  ]
  node
  [
    id 18
    name "19"
    color "#595959"
    size 1
  ]
  node
  [
    id 19
    name "20"
    color "#595959"
    size 1
  ]
  node
  [
    id 20
    name "21"
    color "#595959"
    size 1
  ]
  node
  [
    id 21
    name "22"
    color "#595959"
    size 1
  ]
  node
  [
    id 22
    name "23"
    color "#595959"
    size 1
  ]
  node
  [
    id 23
    name "24"
    color "#595959"
    size 1
  ]
  node
  [
    id 24
    name "25"
    color "#595959"
    size 1
  ]
  node
  [
    id 25
    name "26"
    color "#595959"
    size 1
  ]
  node
  [
    id 26
    name "27"
    color "#595959"
    size 1
  ]
  node
  [
    id 27
    name "28"
    color "#FF8000"
    size 1
  ]
  node
  [
    id 28
    name "29"
    color "#FF8000"
    size 1
  ]
  node
  [
    id 29
    name "30"
    color "#FF8000"
    size 1
  ]
  node
  [
    id 30
    name "31"
    color "#FF8000"
    size 1
  ]
  node
  [
    id 31
    name "32"
    color "#FF8000"
    size 1
  ]
  node
  [
    id 32
    name "33"
    color "#FF8000"
    size 1
  ]
  node
  [
    id 33
    name "34"
    color "#FF8000"
    size 1
  ]
  node
  [
    id 34
    name "35"
    color "#FF8000"
    size 1
  ]
  node
  [
    id 35
    name "36"
    color "#FF8000"
    size 1
  ]
  node
  [
    id 36
    name "37"
    color "#FF8000"
    size 1
  ]
  node
  [
    id 37
    name "38"
    color "#0000FF"
    size 1
  ]
  node
  [
    id 38
    name "39"
    color "#0000FF"
    size 1
  ]
  node
  [
    id 39
    name "40"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 40
    name "41"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 41
    name "42"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 42
    name "43"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 43
    name "44"
    color "#808033"
    size 1
  ]
  node
  [
    id 44
    name "45"
    color "#808033"
    size 1
  ]
  node
  [
    id 45
    name "46"
    color "#808033"
    size 1
  ]
  node
  [
    id 46
    name "47"
    color "#808033"
    size 1
  ]
  node
  [
    id 47
    name "48"
    color "#808033"
    size 1
  ]
  node
  [
    id 48
    name "49"
    color "#808033"
    size 1
  ]
  node
  [
    id 49
    name "50"
    color "#808033"
    size 1
  ]
  node
  [
    id 50
    name "51"
    color "#808033"
    size 1
  ]
  node
  [
    id 51
    name "52"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 52
    name "53"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 53
    name "54"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 54
    name "55"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 55
    name "56"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 56
    name "57"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 57
    name "58"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 58
    name "59"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 59
    name "60"
    color "#999999"
    size 1
  ]
  node
  [
    id 60
    name "61"
    color "#999999"
    size 1
  ]
  node
  [
    id 61
    name "62"
    color "#999999"
    size 1
  ]
  node
  [
    id 62
    name "63"
    color "#999999"
    size 1
  ]
  node
  [
    id 63
    name "64"
    color "#999999"
    size 1
  ]
  node
  [
    id 64
    name "65"
    color "#808033"
    size 1
  ]
  node
  [
    id 65
    name "66"
    color "#808033"
    size 1
  ]
  node
  [
    id 66
    name "67"
    color "#808033"
    size 1
  ]
  node
  [
    id 67
    name "68"
    color "#808033"
    size 1
  ]
  node
  [
    id 68
    name "69"
    color "#808033"
    size 1
  ]
  node
  [
    id 69
    name "70"
    color "#808033"
    size 1
  ]
  node
  [
    id 70
    name "71"
    color "#999999"
    size 1
  ]
  node
  [
    id 71
    name "72"
    color "#999999"
    size 1
  ]
  node
  [
    id 72
    name "73"
    color "#999999"
    size 1
  ]
  node
  [
    id 73
    name "74"
    color "#999999"
    size 1
  ]
  node
  [
    id 74
    name "75"
    color "#999999"
    size 1
  ]
  node
  [
    id 75
    name "76"
    color "#999999"
    size 1
  ]
  node
  [
    id 76
    name "77"
    color "#999999"
    size 1
  ]
  node
  [
    id 77
    name "78"
    color "#999999"
    size 1
  ]
  node
  [
    id 78
    name "79"
    color "#808033"
    size 1
  ]
  node
  [
    id 79
    name "80"
    color "#808033"
    size 1
  ]
  node
  [
    id 80
    name "81"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 81
    name "82"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 82
    name "83"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 83
    name "84"
    color "#FFFF00"
    size 1
  ]
  node
  [
    id 84
    name "85"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 85
    name "86"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 86
    name "87"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 87
    name "88"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 88
    name "89"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 89
    name "90"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 90
    name "91"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 91
    name "92"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 92
    name "93"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 93
    name "94"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 94
    name "95"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 95
    name "96"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 96
    name "97"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 97
    name "98"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 98
    name "99"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 99
    name "100"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 100
    name "101"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 101
    name "102"
    color "#00FF00"
    size 1
  ]
  node
  [
    id 102
    name "103"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 103
    name "104"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 104
    name "105"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 105
    name "106"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 106
    name "107"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 107
    name "108"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 108
    name "109"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 109
    name "110"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 110
    name "111"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 111
    name "112"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 112
    name "113"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 113
    name "114"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 114
    name "115"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 115
    name "116"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 116
    name "117"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 117
    name "118"
    color "#FFFFFF"
    size 1
  ]
  node
  [
    id 118
    name "119"
    color "#FF9999"
    size 1
  ]
  node
  [
    id 119
    name "120"
    color "#FF9999"
    size 1
  ]
  node
  [
    id 120
    name "121"
    color "#FF9999"
    size 1
  ]
  node
  [
    id 121
    name "122"
    color "#FF9999"
    size 1
  ]
  node
  [
    id 122
    name "123"
    color "#FF9999"
    size 1
  ]
  node
  [
    id 123
    name "124"
    color "#FF9999"
    size 1
  ]
  node
  [
    id 124
    name "125"
    color "#FF9999"
    size 1
  ]
  node
  [
    id 125
    name "126"
    color "#40BFBF"
    size 1
  ]
  node
  [
    id 126
    name "127"
    color "#40BFBF"
    size 1
  ]
  node
  [
    id 127
    name "128"
    color "#A600A6"
    size 1
  ]
  node
  [
    id 128
    name "129"
    color "#A600A6"
    size 1
  ]
  edge
  [
    source 1
    target 0
    weight 0.807911714730587
  ]
  edge
  [
    source 2
    target 1
    weight 0.764530657123993
  ]
  edge
  [
    source 38
    target 1
    weight 0.848964020440095
  ]
  edge
  [
    source 3
    target 2
    weight 0.748521606210359
  ]
  edge
  [
    source 4
    target 3
    weight 0.617368438944877
  ]
  edge
  [
    source 6
    target 3
    weight 0.848461740385791
  ]
  edge
  [
    source 5
    target 4
    weight 0.599267772413123
  ]
  edge
  [
    source 6
    target 5
    weight 0.530576138908358
  ]
  edge
  [
    source 8
    target 5
    weight 0.873212099406049
  ]
  edge
  [
    source 7
    target 6
    weight 0.507033451248791
  ]
  edge
  [
    source 8
    target 7
    weight 0.573655638320854
  ]
  edge
  [
    source 10
    target 7
    weight 0.876330251985613
  ]
  edge
  [
    source 9
    target 8
    weight 0.57853158663187
  ]
  edge
  [
    source 10
    target 9
    weight 0.505276112731954
  ]
  edge
  [
    source 11
    target 10
    weight 0.508565267435023
  ]
  edge
  [
    source 13
    target 10
    weight 0.767456063162636
  ]
  edge
  [
    source 12
    target 11
    weight 0.520202342588596
  ]
  edge
  [
    source 14
    target 11
    weight 0.816721254870418
  ]
  edge
  [
    source 13
    target 12
    weight 0.49926077485635
  ]
  edge
  [
    source 14
    target 12
    weight 0.903571979841935
  ]
  edge
  [
    source 15
    target 12
    weight 0.840767013136095
  ]
  edge
  [
    source 14
    target 13
    weight 0.497501227112571
  ]
  edge
  [
    source 15
    target 14
    weight 0.547622678057387
  ]
  edge
  [
    source 16
    target 15
    weight 0.537103907549239
  ]
  edge
  [
    source 17
    target 16
    weight 0.543371085460447
  ]
  edge
  [
    source 18
    target 17
    weight 0.577301912661262
  ]
  edge
  [
    source 19
    target 18
    weight 0.555008772135877
  ]
  edge
  [
    source 21
    target 18
    weight 0.594422875977564
  ]
  edge
  [
    source 22
    target 18
    weight 0.819546434947296
  ]
  edge
  [
    source 23
    target 18
    weight 0.654574395381429
  ]
  edge
  [
    source 20
    target 19
    weight 0.738737522301553
  ]
  edge
  [
    source 21
    target 20
    weight 0.582412755542069
  ]
  edge
  [
    source 22
    target 21
    weight 0.502679190820775
  ]
  edge
  [
    source 23
    target 22
    weight 0.592927178224579
  ]
  edge
  [
    source 24
    target 23
    weight 0.733644123241249
  ]
  edge
  [
    source 25
    target 24
    weight 0.765222402125213
  ]
  edge
  [
    source 26
    target 25
    weight 0.559449461026759
  ]
  edge
  [
    source 27
    target 26
    weight 0.558496770690223
  ]
  edge
  [
    source 28
    target 27
    weight 0.567571054627788
  ]
  edge
  [
    source 29
    target 28
    weight 0.623197519794472
  ]
  edge
  [
    source 30
    target 29
    weight 0.576009160819302
  ]
  edge
  [
    source 31
    target 30
    weight 0.628952611216205
  ]
  edge
  [
    source 32
    target 31
    weight 0.508719105366936
  ]
  edge
  [
    source 34
    target 31
    weight 0.850878707480116
  ]
  edge
  [
    source 33
    target 32
    weight 0.516220576335748
  ]
  edge
  [
    source 36
    target 32
    weight 0.687338373124729
  ]
  edge
  [
    source 34
    target 33
    weight 0.583234484178403
  ]
  edge
  [
    source 35
    target 34
    weight 0.677021655904864
  ]
  edge
  [
    source 36
    target 35
    weight 0.555709931599681
  ]
  edge
  [
    source 54
    target 35
    weight 0.898127528390398
  ]
  edge
  [
    source 37
    target 36
    weight 0.532440139332256
  ]
  edge
  [
    source 38
    target 37
    weight 0.645594338331307
  ]
  edge
  [
    source 39
    target 38
    weight 0.548786506889656
  ]
  edge
  [
    source 40
    target 39
    weight 0.495374425220564
  ]
  edge
  [
    source 53
    target 39
    weight 0.714129135823502
  ]
  edge
  [
    source 54
    target 39
    weight 0.774403707161604
  ]
  edge
  [
    source 83
    target 39
    weight 0.849328908366876
  ]
  edge
  [
    source 41
    target 40
    weight 0.553082190688513
  ]
  edge
  [
    source 53
    target 40
    weight 0.830526968814894
  ]
  edge
  [
    source 83
    target 40
    weight 0.841643730714665
  ]
  edge
  [
    source 42
    target 41
    weight 0.850060549111302
  ]
  edge
  [
    source 53
    target 41
    weight 0.768957162171735
  ]
  edge
  [
    source 43
    target 42
    weight 0.6059753928748
  ]
  edge
  [
    source 52
    target 42
    weight 0.903454954965336
  ]
  edge
  [
    source 44
    target 43
    weight 0.732213341645683
  ]
  edge
  [
    source 45
    target 44
    weight 0.444243331544723
  ]
  edge
  [
    source 50
    target 44
    weight 0.805720453208143
  ]
  edge
  [
    source 46
    target 45
    weight 0.406396437692074
  ]
  edge
  [
    source 47
    target 45
    weight 0.774658782699953
  ]
  edge
  [
    source 47
    target 46
    weight 0.344603383125402
  ]
  edge
  [
    source 48
    target 46
    weight 0.640186315590203
  ]
  edge
  [
    source 48
    target 47
    weight 0.407149618456137
  ]
  edge
  [
    source 49
    target 47
    weight 0.868282039669681
  ]
  edge
  [
    source 49
    target 48
    weight 0.591663559452674
  ]
  edge
  [
    source 50
    target 49
    weight 0.694021375045216
  ]
  edge
  [
    source 68
    target 49
    weight 0.908776207951226
  ]
  edge
  [
    source 51
    target 50
    weight 0.806335032243885
  ]
  edge
  [
    source 52
    target 51
    weight 0.624056350244914
  ]
  edge
  [
    source 56
    target 51
    weight 0.735687929549801
  ]
  edge
  [
    source 58
    target 51
    weight 0.879075655224862
  ]
  edge
  [
    source 53
    target 52
    weight 0.684754130472129
  ]
  edge
  [
    source 56
    target 52
    weight 0.752085673860402
  ]
  edge
  [
    source 54
    target 53
    weight 0.662846961422025
  ]
  edge
  [
    source 83
    target 53
    weight 0.837906731238568
  ]
  edge
  [
    source 55
    target 54
    weight 0.657720085129269
  ]
  edge
  [
    source 56
    target 55
    weight 0.597874763832735
  ]
  edge
  [
    source 57
    target 56
    weight 0.625215971523222
  ]
  edge
  [
    source 58
    target 57
    weight 0.866640817449204
  ]
  edge
  [
    source 59
    target 58
    weight 0.707117955795806
  ]
  edge
  [
    source 60
    target 59
    weight 0.576696190760345
  ]
  edge
  [
    source 61
    target 60
    weight 0.496021157810975
  ]
  edge
  [
    source 71
    target 60
    weight 0.665286419865456
  ]
  edge
  [
    source 62
    target 61
    weight 0.477829493268039
  ]
  edge
  [
    source 72
    target 61
    weight 0.515338037657162
  ]
  edge
  [
    source 73
    target 61
    weight 0.845091590174785
  ]
  edge
  [
    source 74
    target 61
    weight 0.842300539753692
  ]
  edge
  [
    source 63
    target 62
    weight 0.574060039540348
  ]
  edge
  [
    source 73
    target 62
    weight 0.573385376935581
  ]
  edge
  [
    source 74
    target 62
    weight 0.48458528687013
  ]
  edge
  [
    source 75
    target 62
    weight 0.730036544319467
  ]
  edge
  [
    source 64
    target 63
    weight 0.58271864314438
  ]
  edge
  [
    source 73
    target 63
    weight 0.607607860862831
  ]
  edge
  [
    source 65
    target 64
    weight 0.696192266656125
  ]
  edge
  [
    source 78
    target 64
    weight 0.775017812358284
  ]
  edge
  [
    source 66
    target 65
    weight 0.676237367239398
  ]
  edge
  [
    source 67
    target 66
    weight 0.48644420038713
  ]
  edge
  [
    source 68
    target 67
    weight 0.525677282120066
  ]
  edge
  [
    source 69
    target 68
    weight 0.585696449151308
  ]
  edge
  [
    source 71
    target 70
    weight 0.779538213808271
  ]
  edge
  [
    source 72
    target 71
    weight 0.637936297387377
  ]
  edge
  [
    source 73
    target 72
    weight 0.51419904850782
  ]
  edge
  [
    source 74
    target 72
    weight 0.854198172480531
  ]
  edge
  [
    source 74
    target 73
    weight 0.391778166013828
  ]
  edge
  [
    source 75
    target 73
    weight 0.864178850173842
  ]
  edge
  [
    source 76
    target 73
    weight 0.71010941843969
  ]
  edge
  [
    source 75
    target 74
    weight 0.437637232934632
  ]
  edge
  [
    source 76
    target 74
    weight 0.744843137415974
  ]
  edge
  [
    source 76
    target 75
    weight 0.477286171822754
  ]
  edge
  [
    source 77
    target 76
    weight 0.568587327367115
  ]
  edge
  [
    source 78
    target 77
    weight 0.558742992825543
  ]
  edge
  [
    source 79
    target 78
    weight 0.562745650350465
  ]
  edge
  [
    source 80
    target 79
    weight 0.686190120741621
  ]
  edge
  [
    source 81
    target 80
    weight 0.572569958942016
  ]
  edge
  [
    source 82
    target 81
    weight 0.650077688783649
  ]
  edge
  [
    source 83
    target 82
    weight 0.613296720045945
  ]
  edge
  [
    source 84
    target 83
    weight 0.674187953013606
  ]
  edge
  [
    source 85
    target 84
    weight 0.723433298696775
  ]
  edge
  [
    source 86
    target 85
    weight 0.793924979192371
  ]
  edge
  [
    source 87
    target 86
    weight 0.686211831958127
  ]
  edge
  [
    source 88
    target 87
    weight 0.566470033164072
  ]
  edge
  [
    source 89
    target 88
    weight 0.557058450805955
  ]
  edge
  [
    source 91
    target 88
    weight 0.876842750952513
  ]
  edge
  [
    source 90
    target 89
    weight 0.517866267389574
  ]
  edge
  [
    source 92
    target 89
    weight 0.892681496189948
  ]
  edge
  [
    source 91
    target 90
    weight 0.581511172017108
  ]
  edge
  [
    source 92
    target 91
    weight 0.505607412474391
  ]
  edge
  [
    source 94
    target 91
    weight 0.846185764621394
  ]
  edge
  [
    source 93
    target 92
    weight 0.541829734245561
  ]
  edge
  [
    source 94
    target 93
    weight 0.551663280038395
  ]
  edge
  [
    source 95
    target 94
    weight 0.528938084469232
  ]
  edge
  [
    source 97
    target 94
    weight 0.837833637238492
  ]
  edge
  [
    source 96
    target 95
    weight 0.533756501675246
  ]
  edge
  [
    source 97
    target 96
    weight 0.482115531135954
  ]
  edge
  [
    source 99
    target 96
    weight 0.803806073628728
  ]
  edge
  [
    source 98
    target 97
    weight 0.51675047826485
  ]
  edge
  [
    source 100
    target 97
    weight 0.793800639779182
  ]
  edge
  [
    source 99
    target 98
    weight 0.505420352262836
  ]
  edge
  [
    source 103
    target 98
    weight 0.780683067082279
  ]
  edge
  [
    source 100
    target 99
    weight 0.46991277564365
  ]
  edge
  [
    source 101
    target 99
    weight 0.832189299918732
  ]
  edge
  [
    source 101
    target 100
    weight 0.486825174627305
  ]
  edge
  [
    source 102
    target 101
    weight 0.636869641188787
  ]
  edge
  [
    source 103
    target 101
    weight 0.870553804767061
  ]
  edge
  [
    source 103
    target 102
    weight 0.485729149312718
  ]
  edge
  [
    source 105
    target 102
    weight 0.831545508227556
  ]
  edge
  [
    source 104
    target 103
    weight 0.56633862725492
  ]
  edge
  [
    source 105
    target 103
    weight 0.798479416277184
  ]
  edge
  [
    source 105
    target 104
    weight 0.473727957720342
  ]
  edge
  [
    source 106
    target 104
    weight 0.837742113373174
  ]
  edge
  [
    source 106
    target 105
    weight 0.425607956885004
  ]
  edge
  [
    source 107
    target 105
    weight 0.769674315437409
  ]
  edge
  [
    source 107
    target 106
    weight 0.490909966706786
  ]
  edge
  [
    source 108
    target 106
    weight 0.886437434135859
  ]
  edge
  [
    source 108
    target 107
    weight 0.456127762863879
  ]
  edge
  [
    source 109
    target 107
    weight 0.825291662469858
  ]
  edge
  [
    source 110
    target 107
    weight 0.85614831609138
  ]
  edge
  [
    source 109
    target 108
    weight 0.425823849574329
  ]
  edge
  [
    source 110
    target 108
    weight 0.787277269304223
  ]
  edge
  [
    source 111
    target 108
    weight 0.689799658212397
  ]
  edge
  [
    source 112
    target 108
    weight 0.846227349703856
  ]
  edge
  [
    source 110
    target 109
    weight 0.428552561005978
  ]
  edge
  [
    source 111
    target 109
    weight 0.80135366428024
  ]
  edge
  [
    source 112
    target 109
    weight 0.64348293531705
  ]
  edge
  [
    source 113
    target 109
    weight 0.843077172435225
  ]
  edge
  [
    source 111
    target 110
    weight 0.492547523574613
  ]
  edge
  [
    source 112
    target 110
    weight 0.872689915993097
  ]
  edge
  [
    source 114
    target 110
    weight 0.805071800545064
  ]
  edge
  [
    source 112
    target 111
    weight 0.44302972773775
  ]
  edge
  [
    source 115
    target 111
    weight 0.876082814118967
  ]
  edge
  [
    source 113
    target 112
    weight 0.457778415178497
  ]
  edge
  [
    source 114
    target 113
    weight 0.553778350507386
  ]
  edge
  [
    source 115
    target 114
    weight 0.595363536503536
  ]
  edge
  [
    source 117
    target 114
    weight 0.907186845336124
  ]
  edge
  [
    source 117
    target 116
    weight 0.569355451523944
  ]
  edge
  [
    source 119
    target 118
    weight 0.762442950693194
  ]
  edge
  [
    source 120
    target 119
    weight 0.535036059096182
  ]
  edge
  [
    source 121
    target 119
    weight 0.847305359434123
  ]
  edge
  [
    source 121
    target 120
    weight 0.488119799952319
  ]
  edge
  [
    source 122
    target 121
    weight 0.469021250914347
  ]
  edge
  [
    source 124
    target 121
    weight 0.853209020215881
  ]
  edge
  [
    source 123
    target 122
    weight 0.592682960005725
  ]
  edge
  [
    source 124
    target 123
    weight 0.709208218472079
  ]
  edge
  [
    source 126
    target 125
    weight 0.813323820754589
  ]
  edge
  [
    source 128
    target 127
    weight 0.750242991038939
  ]
]
